#include "tools/camera/udp_echo.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>

namespace camerasim {
namespace {

void closeHandle(int& handle) {
  if (handle >= 0) ::close(handle);
  handle = -1;
}

}  // namespace

UdpEcho::~UdpEcho() { stop(); }

bool UdpEcho::fail(const char* what) {
  error_ = std::string(what) + ": " + std::strerror(errno);
  stop();
  return false;
}

bool UdpEcho::start(std::uint16_t port) {
  int pipeEnds[2];
  if (::pipe2(pipeEnds, O_CLOEXEC) != 0) return fail("pipe");
  wakeRead_ = pipeEnds[0];
  wakeWrite_ = pipeEnds[1];
  socket_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (socket_ < 0) return fail("socket");
  sockaddr_in local{};
  local.sin_family = AF_INET;
  local.sin_port = htons(port);
  local.sin_addr.s_addr = htonl(INADDR_ANY);
  if (::bind(socket_, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) return fail("bind");
  server_ = std::thread(&UdpEcho::serve, this);
  return true;
}

void UdpEcho::stop() {
  if (server_.joinable()) {
    const char wake = 1;
    [[maybe_unused]] const auto written = ::write(wakeWrite_, &wake, 1);
    server_.join();
  }
  closeHandle(socket_);
  closeHandle(wakeRead_);
  closeHandle(wakeWrite_);
}

void UdpEcho::serve() {
  std::array<std::uint8_t, 65536> datagram;
  for (;;) {
    pollfd ready[2] = {{wakeRead_, POLLIN, 0}, {socket_, POLLIN, 0}};
    if (::poll(ready, 2, -1) < 0 && errno != EINTR) return;
    if (ready[0].revents != 0) return;
    if (ready[1].revents == 0) continue;
    sockaddr_in from{};
    socklen_t fromSize = sizeof from;
    const ssize_t size = ::recvfrom(socket_, datagram.data(), datagram.size(), MSG_DONTWAIT,
                                    reinterpret_cast<sockaddr*>(&from), &fromSize);
    if (size >= 0)
      ::sendto(socket_, datagram.data(), static_cast<std::size_t>(size), 0, reinterpret_cast<const sockaddr*>(&from),
               fromSize);
  }
}

}  // namespace camerasim
