#include "tools/camera/udp_echo.h"

#include <algorithm>
#include <vector>

#include "tools/camera/read_loop.h"

namespace camerasim {
namespace {

constexpr std::uint16_t kFirstUnprivilegedPort = 1024;

}  // namespace

bool AnswerBudget::take(const discovery::Ipv4Bytes& source, Clock::time_point now) {
  if (now - secondStart_ >= std::chrono::seconds(1)) {
    answered_.clear();
    secondStart_ = now;
  }
  const auto counted = answered_.find(source);
  if (counted == answered_.end()) {
    if (answered_.size() == kSources) return false;
    answered_.emplace(source, 1);
    return true;
  }
  if (counted->second == kAnswersPerSource) return false;
  ++counted->second;
  return true;
}

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

bool UdpEcho::deservesAnswer(const discovery::ReceivedDatagram& datagram) const {
  const auto payload = datagram.payload();
  const bool isAnEcho = payload.size() >= kEchoMarker.size() &&
                        std::equal(kEchoMarker.begin(), kEchoMarker.end(), payload.begin());
  return !datagram.truncated && !isAnEcho && datagram.senderPort >= kFirstUnprivilegedPort &&
         datagram.senderPort != port_;
}

void UdpEcho::serve() {
  std::vector<std::uint8_t> answer(kEchoMarker.begin(), kEchoMarker.end());
  readUntilInterrupted(socket_, [&](const discovery::ReceivedDatagram& datagram) {
    if (deservesAnswer(datagram) && budget_.take(datagram.senderAddress, AnswerBudget::Clock::now())) {
      answer.resize(kEchoMarker.size());
      answer.insert(answer.end(), datagram.payload().begin(), datagram.payload().end());
      socket_.sendTo(datagram.senderAddress, datagram.senderPort, answer);
    }
    return true;
  });
}

}  // namespace camerasim
