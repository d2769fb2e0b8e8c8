#include "discovery/channel.h"

#include <algorithm>
#include <cstdio>
#include <system_error>
#include <vector>

#include "discovery/receive_path.h"

namespace discovery {
namespace {

using Clock = SearchRounds::Clock;

// While the window's thread is sending, the receive thread checks the search
// round again this soon rather than wait for it.
constexpr std::chrono::milliseconds kSenderBusyRetry{2};

std::optional<std::chrono::milliseconds> timeUntil(std::optional<Clock::time_point> deadline) {
  if (!deadline) return std::nullopt;
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(*deadline - Clock::now());
  return std::max(left, std::chrono::milliseconds(0));
}

bool listsAdapter(const std::vector<Adapter>& adapters, unsigned index) {
  return std::any_of(adapters.begin(), adapters.end(),
                     [index](const Adapter& adapter) { return adapter.index == index; });
}

std::optional<Clock::time_point> earliest(std::optional<Clock::time_point> one, std::optional<Clock::time_point> other) {
  if (!one || !other) return one ? one : other;
  return std::min(*one, *other);
}

}  // namespace

void HandOverTiming::answered(Clock::time_point now) {
  if (now >= burstOver()) burstStart_ = now;
  lastAnswer_ = now;
  if (!holdEnds_) holdEnds_ = now + kLongestHold;
}

std::optional<HandOverTiming::Clock::time_point> HandOverTiming::due() const {
  if (!holdEnds_) return std::nullopt;
  return std::min(burstOver(), *holdEnds_);
}

HandOverTiming::Clock::time_point HandOverTiming::burstOver() const {
  return lastAnswer_ + std::max<Clock::duration>(kShortestQuiet, (lastAnswer_ - burstStart_) / kQuietShareOfBurst);
}

MulticastChannel::MulticastChannel(ChannelReceiver& receiver, HostNetwork& network)
    : receiver_(receiver), network_(network) {}

MulticastChannel::~MulticastChannel() { close(); }

int MulticastChannel::failOpen() {
  openError_ = socket_.lastError();
  socket_.close();
  return 0;
}

int MulticastChannel::failCancelledOpen() {
  openError_ = "open cancelled";
  socket_.close();
  joined_.clear();
  joinFailuresTold_.clear();
  return 0;
}

std::vector<Adapter> MulticastChannel::searchableAdapters() {
  return multicastAdapters(network_.adapters().value_or(std::vector<Adapter>{}));
}

int MulticastChannel::open() {
  if (running_) return 0;
  if (openCancelled_) return failCancelledOpen();
  if (!socket_.create()) return failOpen();
  // No address reuse: another program holding the port makes the open fail.
  if (!socket_.bindAny(DISCOVERY_PORT) || !socket_.setMulticastTtl(kMulticastTtl)) return failOpen();
  receiveBufferBytes_ = socket_.requestReceiveBuffer(network_.receiveBufferRequest());
  trafficLog_.clear();
  // Joined by interface, never through a route: a laptop without a gateway,
  // or with its cable still out, is no reason to fail. An interface that
  // shows up later is joined at the next send.
  updateMemberships(searchableAdapters(), &openCancelled_);
  if (openCancelled_) return failCancelledOpen();
  openError_.clear();
  running_ = true;
  try {
    receiveThread_ = std::thread(&MulticastChannel::receiveLoop, this);
  } catch (const std::system_error& error) {
    running_ = false;
    openError_ = error.what();
    socket_.close();
    joined_.clear();
    return 0;
  }
  return 1;
}

void MulticastChannel::send(std::uint32_t command, std::span<const std::uint8_t> payload) {
  if (!running_ || payload.size() > kMaxPayload) return;
  // A search reads the adapters afresh, so that one plugged in meanwhile is
  // searched too; the many requests of a batch share one reading.
  const Clock::time_point now = Clock::now();
  if (command == CMD_SEARCH || !adaptersReadAt_ || now - *adaptersReadAt_ > kAdapterListReuse) {
    adapters_ = searchableAdapters();
    adaptersReadAt_ = now;
  }
  const std::vector<Adapter> adapters = adapters_;
  std::lock_guard lock(sendMutex_);
  updateMemberships(adapters);
  // Counted before the search leaves: its answers may start overflowing the
  // buffer at once.
  const auto dropsBefore = socket_.droppedDatagrams();
  const std::size_t sent = sendThrough(adapters, command, payload);
  if (command != CMD_SEARCH) return;
  searchAdapters_ = adapters;
  if (sent > 0) rounds_.searchSent(Clock::now(), dropsBefore);
}

void MulticastChannel::sendSearch() { send(CMD_SEARCH, {}); }

void MulticastChannel::sendSetIp(std::string_view macText, std::uint32_t newAddress, std::uint32_t newGateway) {
  send(CMD_SET_IP, encodeSetIpRequest(macText, newAddress, newGateway));
}

void MulticastChannel::updateMemberships(const std::vector<Adapter>& adapters, const std::atomic<bool>* stop) {
  std::erase_if(joined_, [&](const Adapter& adapter) {
    if (listsAdapter(adapters, adapter.index)) return false;
    socket_.leaveThrough(DISCOVERY_GROUP, adapter);
    return true;
  });
  std::erase_if(joinFailuresTold_, [&](unsigned index) { return !listsAdapter(adapters, index); });
  for (const Adapter& adapter : adapters) {
    if (stop && *stop) return;
    if (listsAdapter(joined_, adapter.index)) continue;
    if (socket_.joinThrough(DISCOVERY_GROUP, adapter)) {
      joined_.push_back(adapter);
      std::erase(joinFailuresTold_, adapter.index);
      trafficLog_.joined(adapter);
    } else {
      trafficLog_.joinFailed(adapter, socket_.noSocketForLastJoin() ? AdapterTraffic::Membership::NoSocket
                                                                     : AdapterTraffic::Membership::Refused,
                             socket_.lastError());
      tellJoinFailure(adapter);
    }
  }
}

void MulticastChannel::tellJoinFailure(const Adapter& adapter) {
  if (std::find(joinFailuresTold_.begin(), joinFailuresTold_.end(), adapter.index) != joinFailuresTold_.end()) return;
  joinFailuresTold_.push_back(adapter.index);
  std::fprintf(stderr, "tovalen: not searching through %s, tried again at every search: %s\n", adapter.name.c_str(),
               socket_.lastError().c_str());
}

std::size_t MulticastChannel::sendThrough(const std::vector<Adapter>& adapters, std::uint32_t command,
                                          std::span<const std::uint8_t> payload) {
  const Bytes datagram = encodeDatagram(command, payload);
  std::size_t sent = 0;
  // One adapter failing never keeps the request from the others.
  for (const Adapter& adapter : adapters) {
    if (!socket_.sendThrough(adapter, DISCOVERY_GROUP, DISCOVERY_PORT, datagram)) continue;
    ++sent;
    if (command == CMD_SEARCH) trafficLog_.searchSent(adapter);
  }
  return sent;
}

std::vector<AdapterTraffic> MulticastChannel::traffic() const {
  auto entries = trafficLog_.snapshot();
  for (AdapterTraffic& entry : entries) {
    Adapter adapter;
    adapter.index = entry.index;
    entry.droppedDatagrams = socket_.droppedDatagramsThrough(adapter);
  }
  return entries;
}

void MulticastChannel::close() {
  openCancelled_ = false;
  if (!running_.exchange(false)) return;
  socket_.interrupt();
  // Joining is safe: the receiver never makes the receive thread wait.
  if (receiveThread_.joinable()) receiveThread_.join();
  socket_.close();
  joined_.clear();
  joinFailuresTold_.clear();
  searchAdapters_.clear();
  adaptersReadAt_.reset();
  rounds_ = SearchRounds();
}

void MulticastChannel::receiveLoop() {
  std::vector<ReceivedDatagram> slots(kReceiveBatch);
  HandOverTiming handOver;
  std::optional<Clock::time_point> roundCheck;
  while (running_) {
    const ReceiveResult result = socket_.receive(slots, timeUntil(earliest(handOver.due(), roundCheck)));
    if (result.status == ReceiveResult::Status::Interrupted) return;
    if (result.status == ReceiveResult::Status::Failed) socket_.pause(kIdlePause);
    if (result.status == ReceiveResult::Status::Received) {
      bool answered = false;
      const Clock::time_point readAt = Clock::now();
      for (std::size_t i = 0; i < result.count && running_; ++i)
        if (dispatch(slots[i], readAt)) answered = true;
      if (!running_) return;
      receiver_.endOfBatch();
      if (answered) handOver.answered(Clock::now());
    }
    // Checked after every read, not only after one that timed out, so that
    // traffic that never pauses puts off neither.
    if (const auto due = handOver.due(); due && Clock::now() >= *due) {
      handOver.handedOn();
      receiver_.quiet();
    }
    roundCheck = checkSearchRound(handOver.lastAnswer());
  }
}

std::optional<Clock::time_point> MulticastChannel::checkSearchRound(Clock::time_point lastAnswer) {
  const std::unique_lock lock(sendMutex_, std::try_to_lock);
  const Clock::time_point now = Clock::now();
  if (!lock) return now + kSenderBusyRetry;
  const auto due = rounds_.nextCheck(lastAnswer);
  if (!due || *due > now) return due;
  if (rounds_.check(now, socket_.droppedDatagrams())) sendThrough(searchAdapters_, CMD_SEARCH, {});
  return rounds_.nextCheck(lastAnswer);
}

bool MulticastChannel::dispatch(const ReceivedDatagram& datagram, Clock::time_point readAt) {
  // An empty datagram carries nothing, and anyone can send them: it costs no
  // pause, or a stream of them would starve the answers behind it.
  const auto decoded = decodeReceived(datagram);
  if (!decoded) return false;
  trafficLog_.answerHeard(datagram.arrivalInterface, readAt);
  if (const auto* device = std::get_if<DeviceInfoRecord>(&*decoded))
    receiver_.deviceFound(*device);
  else
    receiver_.ipChanged(std::get<SetIpRecord>(*decoded));
  return true;
}

}  // namespace discovery
