#include "tools/camera/udp_echo.h"

#include "tools/camera/read_loop.h"

namespace camerasim {
namespace {

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
  readUntilInterrupted(socket_, [this](const discovery::ReceivedDatagram& datagram) {
    if (!datagram.truncated && datagram.senderPort >= kFirstUnprivilegedPort && datagram.senderPort != port_)
      socket_.sendTo(datagram.senderAddress, datagram.senderPort, datagram.payload());
    return true;
  });
}

}  // namespace camerasim
