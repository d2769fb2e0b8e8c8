#include "tools/camera/udp_echo.h"

#include <vector>

#include "discovery/channel.h"

namespace camerasim {
namespace {

constexpr std::size_t kReceiveBatch = 16;
constexpr std::uint16_t kFirstUnprivilegedPort = 1024;

}  // namespace

UdpEcho::~UdpEcho() { stop(); }

bool UdpEcho::start(std::uint16_t port) {
  port_ = port;
  if (!socket_.create() || !socket_.bindAny(port)) {
    error_ = socket_.lastError();
    socket_.close();
    return false;
  }
  server_ = std::thread(&UdpEcho::serve, this);
  return true;
}

void UdpEcho::stop() {
  socket_.interrupt();
  if (server_.joinable()) server_.join();
  socket_.close();
}

void UdpEcho::serve() {
  using discovery::ReceiveResult;
  std::vector<discovery::ReceivedDatagram> slots(kReceiveBatch);
  for (;;) {
    const ReceiveResult result = socket_.receive(slots);
    if (result.status == ReceiveResult::Status::Interrupted) return;
    if (result.status == ReceiveResult::Status::Failed) {
      if (socket_.pause(discovery::kIdlePause)) return;
      continue;
    }
    for (std::size_t i = 0; i < result.count; ++i) {
      const discovery::ReceivedDatagram& datagram = slots[i];
      if (datagram.truncated || datagram.senderPort < kFirstUnprivilegedPort || datagram.senderPort == port_)
        continue;
      socket_.sendTo(datagram.senderAddress, datagram.senderPort, datagram.payload());
    }
  }
}

}  // namespace camerasim
