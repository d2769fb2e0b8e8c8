#include "discovery/channel.h"

#include <system_error>
#include <vector>

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
  socket_.sendTo(DISCOVERY_GROUP, DISCOVERY_PORT, encodeDatagram(command, payload));
}

void MulticastChannel::sendSearch() { send(CMD_SEARCH, {}); }

void MulticastChannel::close() {
  if (!running_.exchange(false)) return;
  socket_.interrupt();
  // Joining is safe: the receiver never makes the receive thread wait.
  if (receiveThread_.joinable()) receiveThread_.join();
  socket_.close();
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
  // A datagram longer than the receive buffer is discarded undecoded.
  if (datagram.truncated) return;
  if (datagram.length == 0) {
    socket_.pause(kIdlePause);
    return;
  }
  const auto decoded = decode(datagram.payload());
  if (!decoded) return;
  if (const auto* device = std::get_if<DeviceInfoRecord>(&*decoded))
    receiver_.deviceFound(*device);
  else
    receiver_.ipChanged(std::get<SetIpRecord>(*decoded));
}

}  // namespace discovery
