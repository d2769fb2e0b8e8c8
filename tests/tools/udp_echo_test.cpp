// The simulator's echo, on the loopback of the private test namespace, and
// the budget of answers it gives each source.
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
constexpr std::uint16_t kOtherEchoPort = 7008;
constexpr int kDeadlineMs = 10000;

std::string echoOf(const std::string& text) { return std::string(kEchoMarker) + text; }

sockaddr_in loopback(std::uint16_t port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return address;
}

// A socket of its own on loopback, bound to `port` (0: any free one), that
// talks to the echo on `echoPort`.
class EchoClient {
 public:
  explicit EchoClient(std::uint16_t echoPort = kEchoPort, std::uint16_t port = 0)
      : handle_(socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0)) {
    const sockaddr_in source = loopback(port);
    const sockaddr_in echo = loopback(echoPort);
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
    char buffer[2048];
    const ssize_t size = poll(&ready, 1, timeoutMs) == 1 ? recv(handle_, buffer, sizeof buffer, MSG_DONTWAIT) : -1;
    return size >= 0 ? std::string(buffer, static_cast<std::size_t>(size)) : "(nothing)";
  }

 private:
  int handle_;
  bool ready_ = false;
};

// What the echo on `echoPort` sends back for `text`, or "(nothing)" before
// the deadline. Each echo answers in arrival order, and loopback delivers at
// once: once this answer is back, that echo has dealt with every datagram
// that reached it before.
std::string echoed(const std::string& text, std::uint16_t echoPort = kEchoPort) {
  EchoClient client(echoPort);
  return client.send(text) ? client.reply(kDeadlineMs) : "(nothing)";
}

// Sends `text` to the echo on `echoPort` as a forged datagram from loopback's
// port `fromPort`, which only a raw socket can send; true if it left.
bool sendForged(std::uint16_t fromPort, std::uint16_t echoPort, const std::string& text) {
  const int raw = socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_UDP);
  udphdr header{};
  header.source = htons(fromPort);
  header.dest = htons(echoPort);
  header.len = htons(static_cast<std::uint16_t>(sizeof header + text.size()));  // no checksum: allowed in IPv4
  std::string datagram(reinterpret_cast<const char*>(&header), sizeof header);
  datagram += text;
  const sockaddr_in echo = loopback(echoPort);
  const bool sent = raw >= 0 && sendto(raw, datagram.data(), datagram.size(), 0, reinterpret_cast<const sockaddr*>(&echo),
                                       sizeof echo) == static_cast<ssize_t>(datagram.size());
  if (raw >= 0) close(raw);
  return sent;
}

TEST(UdpEchoTest, SendsEachDatagramBackToItsSenderBehindTheMarker) {
  UdpEcho echo;
  ASSERT_TRUE(echo.start(kEchoPort)) << echo.error();
  EXPECT_EQ(echoed("first"), echoOf("first"));
  EXPECT_EQ(echoed(std::string(1023, 'x')), echoOf(std::string(1023, 'x')));
  EXPECT_EQ(echoed(""), echoOf(""));
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
  EchoClient privileged(kEchoPort, 1000);
  ASSERT_TRUE(privileged.send("from a privileged port"));
  ASSERT_TRUE(sendForged(kEchoPort, kEchoPort, "from the echo port"));
  // Once this one is back, any answer to the others has arrived.
  EXPECT_EQ(echoed("from an ordinary port"), echoOf("from an ordinary port"));
  EXPECT_EQ(privileged.reply(0), "(nothing)");
  // Sent since: the test's three datagrams (the forged one is not counted)
  // and the one answer.
  EXPECT_EQ(testsupport::udpCounter("OutDatagrams") - sentBefore, 3u);
}

TEST(UdpEchoTest, TwoEchoesExchangeOneDatagramAfterAForgedOne) {
  UdpEcho echo;
  ASSERT_TRUE(echo.start(kEchoPort)) << echo.error();
  UdpEcho other;
  ASSERT_TRUE(other.start(kOtherEchoPort)) << other.error();
  const std::uint64_t sentBefore = testsupport::udpCounter("OutDatagrams");
  // As if the other echo had sent it: the first echo answers it there.
  ASSERT_TRUE(sendForged(kOtherEchoPort, kEchoPort, "forged"));
  // Each echo in turn has dealt with all that reached it: whatever one of
  // them answered has reached the other, and had its chance to be answered.
  EXPECT_EQ(echoed("first", kEchoPort), echoOf("first"));
  EXPECT_EQ(echoed("second", kOtherEchoPort), echoOf("second"));
  EXPECT_EQ(echoed("third", kEchoPort), echoOf("third"));
  // Sent since: the test's three datagrams, their three answers, and the
  // first echo's answer to the forged one, which the other takes for the
  // echo it is.
  EXPECT_EQ(testsupport::udpCounter("OutDatagrams") - sentBefore, 3u + 3u + 1u);
}

const AnswerBudget::Clock::time_point kSomeSecond = AnswerBudget::Clock::time_point{} + std::chrono::hours(1);

TEST(AnswerBudgetTest, EachSourceGetsAFewAnswersASecond) {
  AnswerBudget budget;
  const discovery::Ipv4Bytes source{10, 0, 0, 5};
  for (unsigned i = 0; i < AnswerBudget::kAnswersPerSource; ++i) EXPECT_TRUE(budget.take(source, kSomeSecond)) << i;
  EXPECT_FALSE(budget.take(source, kSomeSecond + std::chrono::milliseconds(999)));
  EXPECT_TRUE(budget.take({10, 0, 0, 6}, kSomeSecond + std::chrono::milliseconds(999)));
  EXPECT_TRUE(budget.take(source, kSomeSecond + std::chrono::seconds(1)));
}

TEST(AnswerBudgetTest, SourcesBeyondTheCountGetNoAnswerThatSecond) {
  AnswerBudget budget;
  for (std::uint32_t i = 1; i <= AnswerBudget::kSources; ++i)
    ASSERT_TRUE(budget.take(discovery::toIpv4Bytes(i), kSomeSecond)) << i;
  const discovery::Ipv4Bytes oneTooMany = discovery::toIpv4Bytes(AnswerBudget::kSources + 1);
  EXPECT_FALSE(budget.take(oneTooMany, kSomeSecond));
  EXPECT_TRUE(budget.take(discovery::toIpv4Bytes(1), kSomeSecond));  // counted already
  EXPECT_TRUE(budget.take(oneTooMany, kSomeSecond + std::chrono::seconds(1)));
}

}  // namespace
}  // namespace camerasim
