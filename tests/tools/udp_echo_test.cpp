// The simulator's echo, on the loopback of the private test namespace.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/udp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <future>
#include <string>

#include "support/kernel_counters.h"
#include "tools/camera/udp_echo.h"

namespace camerasim {
namespace {

constexpr std::uint16_t kEchoPort = 7007;
constexpr int kDeadlineMs = 10000;

sockaddr_in loopback(std::uint16_t port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return address;
}

// A socket of its own on loopback, bound to `port` (0: any free one), that
// talks to the echo.
class EchoClient {
 public:
  explicit EchoClient(std::uint16_t port = 0) : handle_(socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0)) {
    const sockaddr_in source = loopback(port);
    const sockaddr_in echo = loopback(kEchoPort);
    ready_ = bind(handle_, reinterpret_cast<const sockaddr*>(&source), sizeof source) == 0 &&
             connect(handle_, reinterpret_cast<const sockaddr*>(&echo), sizeof echo) == 0;
  }
  ~EchoClient() { close(handle_); }
  EchoClient(const EchoClient&) = delete;
  EchoClient& operator=(const EchoClient&) = delete;

  bool send(const std::string& text) {
    return ready_ && ::send(handle_, text.data(), text.size(), 0) == static_cast<ssize_t>(text.size());
  }
  // What came back within `timeoutMs`, or "(nothing)".
  std::string reply(int timeoutMs) {
    pollfd ready{handle_, POLLIN, 0};
    char buffer[512];
    const ssize_t size = poll(&ready, 1, timeoutMs) == 1 ? recv(handle_, buffer, sizeof buffer, MSG_DONTWAIT) : -1;
    return size >= 0 ? std::string(buffer, static_cast<std::size_t>(size)) : "(nothing)";
  }

 private:
  int handle_;
  bool ready_ = false;
};

// What the echo sends back for `text`, or "(nothing)" before the deadline.
std::string echoed(const std::string& text) {
  EchoClient client;
  return client.send(text) ? client.reply(kDeadlineMs) : "(nothing)";
}

// Sends `text` to the echo as a forged datagram from the echo's own port,
// which only a raw socket can send; true if it left.
bool sendForgedFromTheEchoPort(const std::string& text) {
  const int raw = socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_UDP);
  udphdr header{};
  header.source = htons(kEchoPort);
  header.dest = htons(kEchoPort);
  header.len = htons(static_cast<std::uint16_t>(sizeof header + text.size()));  // no checksum: allowed in IPv4
  std::string datagram(reinterpret_cast<const char*>(&header), sizeof header);
  datagram += text;
  const sockaddr_in echo = loopback(kEchoPort);
  const bool sent = raw >= 0 && sendto(raw, datagram.data(), datagram.size(), 0, reinterpret_cast<const sockaddr*>(&echo),
                                       sizeof echo) == static_cast<ssize_t>(datagram.size());
  if (raw >= 0) close(raw);
  return sent;
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

TEST(UdpEchoTest, NeverAnswersAPrivilegedPortOrItsOwnPort) {
  UdpEcho echo;
  ASSERT_TRUE(echo.start(kEchoPort)) << echo.error();
  const std::uint64_t sentBefore = testsupport::udpCounter("OutDatagrams");
  // From port 1000, as another echo on port 7 would answer; then from the
  // echo's own port, as from another echo on the same port: the answer would
  // come back to this echo, and round again.
  EchoClient privileged(1000);
  ASSERT_TRUE(privileged.send("from a privileged port"));
  ASSERT_TRUE(sendForgedFromTheEchoPort("from the echo port"));
  // Datagrams are answered in arrival order, and loopback delivers at once:
  // once this one is back, any answer to the others has arrived.
  EXPECT_EQ(echoed("from an ordinary port"), "from an ordinary port");
  EXPECT_EQ(privileged.reply(0), "(nothing)");
  // Sent since: the test's three datagrams (the forged one is not counted)
  // and the one answer.
  EXPECT_EQ(testsupport::udpCounter("OutDatagrams") - sentBefore, 3u);
}

}  // namespace
}  // namespace camerasim
