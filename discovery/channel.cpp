#include "discovery/channel.h"

#include <algorithm>
#include <system_error>
#include <vector>

#include "discovery/receive_path.h"

namespace discovery {
namespace {
constexpr std::size_t kReceiveBatch = 64;
}

MulticastChannel::MulticastChannel(ChannelReceiver& receiver, const ChannelSettings& settings)
    : receiver_(receiver), settings_(settings) {}

MulticastChannel::~MulticastChannel() { close(); }

int MulticastChannel::failOpen() {
  openError_ = socket_.lastError();
  socket_.close();
  return 0;
}

int MulticastChannel::open() {
  if (running_) return 0;
  if (!socket_.create()) return failOpen();
  // No address reuse: another program holding the port makes the open fail.
  if (!socket_.bindAny(DISCOVERY_PORT) || !socket_.setMulticastTtl(kMulticastTtl) ||
      !socket_.joinGroup(DISCOVERY_GROUP))
    return failOpen();
  receiveBufferBytes_ = socket_.requestReceiveBuffer(settings_.receiveBufferBytes);
  openError_.clear();
  running_ = true;
  try {
    receiveThread_ = std::thread(&MulticastChannel::receiveLoop, this);
  } catch (const std::system_error& error) {
    running_ = false;
    openError_ = error.what();
    socket_.close();
    return 0;
  }
  return 1;
}

void MulticastChannel::send(std::uint32_t command, std::span<const std::uint8_t> payload) {
  if (!running_ || payload.size() > kMaxPayload) return;
  const Bytes datagram = encodeDatagram(command, payload);
  const auto interfaces = refreshInterfaces();
  if (interfaces.size() < 2) {
    if (outgoingInterfaceChosen_) outgoingInterfaceChosen_ = !socket_.setMulticastInterface(0);
    socket_.sendTo(DISCOVERY_GROUP, DISCOVERY_PORT, datagram);
    return;
  }
  // One interface failing never keeps the request from the others.
  for (const NetworkInterface& interface : interfaces) {
    if (!socket_.setMulticastInterface(interface.index)) continue;
    outgoingInterfaceChosen_ = true;
    socket_.sendTo(DISCOVERY_GROUP, DISCOVERY_PORT, datagram);
  }
}

std::vector<NetworkInterface> MulticastChannel::refreshInterfaces() {
  if (settings_.defaultInterfaceOnly) return {};
  const auto interfaces = multicastInterfaces(listIpv4Interfaces());
  const auto listed = [&](unsigned index) {
    return std::any_of(interfaces.begin(), interfaces.end(), [&](const auto& interface) { return interface.index == index; });
  };
  std::erase_if(joinedInterfaces_, [&](unsigned index) {
    if (listed(index)) return false;
    socket_.leaveGroup(DISCOVERY_GROUP, index);  // fails harmlessly for an interface that is gone
    return true;
  });
  for (const NetworkInterface& interface : interfaces) {
    const bool joined = std::find(joinedInterfaces_.begin(), joinedInterfaces_.end(), interface.index) !=
                        joinedInterfaces_.end();
    // The default membership already covers one interface; joining it again
    // fails and is not recorded, so it is never left either.
    if (!joined && socket_.joinGroup(DISCOVERY_GROUP, interface.index)) joinedInterfaces_.push_back(interface.index);
  }
  return interfaces;
}

void MulticastChannel::sendSearch() { send(CMD_SEARCH, {}); }

void MulticastChannel::close() {
  if (!running_.exchange(false)) return;
  socket_.interrupt();
  // Joining is safe: the receiver never makes the receive thread wait.
  if (receiveThread_.joinable()) receiveThread_.join();
  socket_.close();
  joinedInterfaces_.clear();
  outgoingInterfaceChosen_ = false;
}

void MulticastChannel::receiveLoop() {
  std::vector<ReceivedDatagram> slots(kReceiveBatch);
  while (running_) {
    const ReceiveResult result = socket_.receive(slots);
    if (result.status == ReceiveResult::Status::Interrupted) return;
    if (result.status == ReceiveResult::Status::Failed) {
      socket_.pause(kIdlePause);
      continue;
    }
    for (std::size_t i = 0; i < result.count && running_; ++i) dispatch(slots[i]);
    if (running_) receiver_.endOfBatch();
  }
}

void MulticastChannel::dispatch(const ReceivedDatagram& datagram) {
  if (datagram.length == 0 && !datagram.truncated) {
    socket_.pause(kIdlePause);
    return;
  }
  const auto decoded = decodeReceived(datagram);
  if (!decoded) return;
  if (const auto* device = std::get_if<DeviceInfoRecord>(&*decoded))
    receiver_.deviceFound(*device);
  else
    receiver_.ipChanged(std::get<SetIpRecord>(*decoded));
}

}  // namespace discovery
