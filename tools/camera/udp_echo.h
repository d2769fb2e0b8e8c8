// Sends every datagram that reaches its port back to where it came from, so a
// PC can check that it reaches a simulated camera by unicast, without ping.
#pragma once

#include <cstdint>
#include <string>
#include <thread>

namespace camerasim {

class UdpEcho {
 public:
  UdpEcho() = default;
  ~UdpEcho();
  UdpEcho(const UdpEcho&) = delete;
  UdpEcho& operator=(const UdpEcho&) = delete;

  // Listens on `port` of every local address and answers on a thread of its
  // own; false on failure, with the reason in error(). Call it once.
  bool start(std::uint16_t port);
  // Ends the thread and closes the socket. Safe to call more than once.
  void stop();

  const std::string& error() const { return error_; }

 private:
  bool fail(const char* what);
  void serve();

  int socket_ = -1;
  int wakeRead_ = -1;
  int wakeWrite_ = -1;
  std::thread server_;
  std::string error_;
};

}  // namespace camerasim
