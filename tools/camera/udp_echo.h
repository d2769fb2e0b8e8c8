// Sends every datagram that reaches its port back to where it came from,
// behind a marker, so a PC can check that it reaches a simulated camera by
// unicast, without ping. An echo never feeds another echo: a datagram that
// starts with the marker is an echo itself and gets no answer, so two echoes
// (or an echo and a classic echo service, which returns the marker) exchange
// one datagram at most after a forged one. Like the classic echo service it
// never answers a source port below 1024 or its own port, and each source
// address gets a few answers a second at most, so that a service that answers
// anything with something unmarked cannot keep it busy either.
#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <thread>

#include "discovery/datagram_socket.h"

namespace camerasim {

// What every answer starts with; the datagram received follows it.
inline constexpr std::string_view kEchoMarker = "echo: ";

// How many answers the sources may still get: each address
// kAnswersPerSource a second, and at most kSources addresses a second, so
// that forged sources cannot make the count grow without bound.
class AnswerBudget {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr unsigned kAnswersPerSource = 10;
  static constexpr std::size_t kSources = 1024;

  // True, and counted, when `source` may have one more answer at `now`.
  bool take(const discovery::Ipv4Bytes& source, Clock::time_point now);

 private:
  Clock::time_point secondStart_{};
  std::map<discovery::Ipv4Bytes, unsigned> answered_;  // in the second since secondStart_
};

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
  bool deservesAnswer(const discovery::ReceivedDatagram& datagram) const;

  discovery::DatagramSocket socket_;
  std::uint16_t port_ = 0;
  AnswerBudget budget_;  // touched only by the serving thread
  std::thread server_;
  std::string error_;
};

}  // namespace camerasim
