// Sends every datagram that reaches its port back to where it came from, so a
// PC can check that it reaches a simulated camera by unicast, without ping.
// Like the classic echo service it never answers a source port below 1024 or
// its own port: two echoes (or an echo and another such service) would
// otherwise answer each other for ever after one forged datagram.
#pragma once

#include <cstdint>
#include <string>
#include <thread>

#include "discovery/datagram_socket.h"

namespace camerasim {

class UdpEcho {
 public:
  UdpEcho() = default;
  ~UdpEcho();
  UdpEcho(const UdpEcho&) = delete;
  UdpEcho& operator=(const UdpEcho&) = delete;

  // Listens on `port` of every local address and answers on a thread of its
  // own; false on failure, with the reason in error(). Call it once.
  // Datagrams longer than the socket seam reads (1023 bytes) get no answer.
  bool start(std::uint16_t port);
  // Ends the thread and closes the socket. Safe to call more than once.
  void stop();

  const std::string& error() const { return error_; }

 private:
  void serve();

  discovery::DatagramSocket socket_;
  std::uint16_t port_ = 0;
  std::thread server_;
  std::string error_;
};

}  // namespace camerasim
