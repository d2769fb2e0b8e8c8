// The simulator's echo, on the loopback of the private test namespace.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <future>
#include <string>

#include "tools/camera/udp_echo.h"

namespace camerasim {
namespace {

constexpr std::uint16_t kEchoPort = 7007;
constexpr int kDeadlineMs = 10000;

// Sends `text` to the echo on loopback from a socket of its own and returns
// what came back, or "(nothing)" when nothing did before the deadline.
std::string echoed(const std::string& text) {
  const int handle = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  sockaddr_in echo{};
  echo.sin_family = AF_INET;
  echo.sin_port = htons(kEchoPort);
  echo.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  std::string answer = "(nothing)";
  pollfd ready{handle, POLLIN, 0};
  if (connect(handle, reinterpret_cast<const sockaddr*>(&echo), sizeof echo) == 0 &&
      send(handle, text.data(), text.size(), 0) == static_cast<ssize_t>(text.size()) &&
      poll(&ready, 1, kDeadlineMs) == 1) {
    char buffer[512];
    const ssize_t size = recv(handle, buffer, sizeof buffer, MSG_DONTWAIT);
    if (size >= 0) answer.assign(buffer, static_cast<std::size_t>(size));
  }
  close(handle);
  return answer;
}

TEST(UdpEchoTest, SendsEachDatagramBackToItsSender) {
  UdpEcho echo;
  ASSERT_TRUE(echo.start(kEchoPort)) << echo.error();
  EXPECT_EQ(echoed("first"), "first");
  EXPECT_EQ(echoed(std::string(300, 'x')), std::string(300, 'x'));
  EXPECT_EQ(echoed(""), "");
}

TEST(UdpEchoTest, StopsPromptlyAndFreesThePort) {
  UdpEcho echo;
  ASSERT_TRUE(echo.start(kEchoPort)) << echo.error();
  auto stopping = std::async(std::launch::async, [&echo] { echo.stop(); });
  ASSERT_EQ(stopping.wait_for(std::chrono::milliseconds(kDeadlineMs)), std::future_status::ready);
  UdpEcho next;
  EXPECT_TRUE(next.start(kEchoPort)) << next.error();
}

TEST(UdpEchoTest, ATakenPortIsReported) {
  UdpEcho first;
  ASSERT_TRUE(first.start(kEchoPort)) << first.error();
  UdpEcho second;
  EXPECT_FALSE(second.start(kEchoPort));
  EXPECT_NE(second.error().find("bind"), std::string::npos) << second.error();
}

}  // namespace
}  // namespace camerasim
