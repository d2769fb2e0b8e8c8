// The channel when the network or its socket fails under it: open fails
// cleanly or the channel carries on, Close never hangs, the receiver is never
// called after Close, and no socket is left behind.
#include <fcntl.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <optional>
#include <thread>
#include <vector>

#include "discovery/channel.h"
#include "support/datagrams.h"
#include "support/fixed_network.h"
#include "support/recording_receiver.h"
#include "support/test_network_setup.h"
#include "support/wire_peer.h"

namespace discovery {
namespace {

using testsupport::kDeadline;
using testsupport::lastIs;
using testsupport::RecordingReceiver;
using testsupport::searchReply;
using Records = RecordingReceiver::Records;

std::size_t openDescriptors() {
  const auto entries = std::filesystem::directory_iterator("/proc/self/fd");
  return static_cast<std::size_t>(std::distance(begin(entries), end(entries)));
}

// The descriptors of the sockets bound to the discovery port: the channel's
// and its adapters'.
std::vector<int> discoverySockets() {
  std::vector<int> sockets;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
    const int fd = std::stoi(entry.path().filename());
    sockaddr_in local{};
    socklen_t size = sizeof local;
    if (::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &size) == 0 && local.sin_family == AF_INET &&
        ntohs(local.sin_port) == DISCOVERY_PORT)
      sockets.push_back(fd);
  }
  return sockets;
}

// The private namespace routes the multicast range to loopback; these tests
// take that route away and put it back.
class NoMulticastRouteTest : public testing::Test {
 protected:
  void TearDown() override { restoreRoute(); }
  static void removeRoute() { ASSERT_TRUE(testsupport::runCommand("ip route del 224.0.0.0/4 dev lo")); }
  static void restoreRoute() { testsupport::runCommand("ip route replace 224.0.0.0/4 dev lo"); }

  SystemNetwork network;
  RecordingReceiver receiver;
};

// A laptop cabled straight to the cameras' switch, with no gateway: nothing
// routes the group anywhere, at open or later.
TEST_F(NoMulticastRouteTest, OpenSearchAndAnswersNeedNoRoute) {
  removeRoute();
  MulticastChannel channel(receiver, network);
  ASSERT_EQ(channel.open(), 1) << channel.openError();
  // The peer too sends through the adapter it names, there being no route.
  testsupport::WirePeer peer("lo", if_nametoindex("lo"));
  ASSERT_TRUE(peer.ok());
  channel.sendSearch();
  channel.send(CMD_SET_IP, encodeSetIpRequest("CAM", 0x0A000009, 0x0A000001));
  EXPECT_EQ(peer.sentByOthers().size(), 2u);
  peer.sendToGroup(searchReply("WITHOUT-ROUTE"));
  EXPECT_TRUE(receiver.waitUntil(lastIs("WITHOUT-ROUTE")));
}

TEST(ChannelSocketFaultTest, ASocketThatFailsUnderTheReceiveThreadStillClosesPromptlyAndCleanly) {
  const std::size_t before = openDescriptors();
  {
    SystemNetwork network;
    RecordingReceiver receiver;
    MulticastChannel channel(receiver, network);
    ASSERT_EQ(channel.open(), 1) << channel.openError();
    testsupport::WirePeer peer;
    ASSERT_TRUE(peer.ok());
    peer.sendToGroup(searchReply("BEFORE"));
    ASSERT_TRUE(receiver.waitUntil(lastIs("BEFORE")));

    // Every read on the descriptors now fails (they are no longer sockets),
    // while the channel still owns them and is the one to close them. The
    // sockets, held here meanwhile, still take datagrams and report them.
    const int notASocket = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    ASSERT_GE(notASocket, 0);
    std::vector<int> heldSockets;
    for (const int socket : discoverySockets()) {
      heldSockets.push_back(::dup(socket));
      ASSERT_EQ(::dup2(notASocket, socket), socket);
    }
    ::close(notASocket);
    ASSERT_FALSE(heldSockets.empty());

    channel.sendSearch();  // the user may still press Search
    peer.sendToGroup(searchReply("AFTER-FAULT"));
    const auto started = std::chrono::steady_clock::now();
    channel.close();
    EXPECT_LT(std::chrono::steady_clock::now() - started, kDeadline);
    EXPECT_EQ(receiver.count(), 1u);
    std::for_each(heldSockets.begin(), heldSockets.end(), ::close);

    MulticastChannel next(receiver, network);
    EXPECT_EQ(next.open(), 1) << next.openError();
  }
  EXPECT_EQ(openDescriptors(), before) << "a descriptor outlived its channel";
}

// The system refuses the membership (here by allowing none per socket): the
// failure is told once, however many searches go out meanwhile, and the next
// search once it is allowed joins.
TEST(ChannelJoinFaultTest, AJoinThatFailsIsToldOnceAndTriedAgainAtTheNextSearch) {
  testsupport::FixedNetwork network({testsupport::loopbackWire()});
  RecordingReceiver receiver;
  MulticastChannel channel(receiver, network);
  testsupport::WirePeer peer;
  ASSERT_TRUE(peer.ok());
  {
    const testsupport::KernelSetting noMemberships("net/ipv4/igmp_max_memberships", "0");
    ASSERT_TRUE(noMemberships.ok());
    testing::internal::CaptureStderr();
    ASSERT_EQ(channel.open(), 1) << channel.openError();
    channel.sendSearch();
    channel.sendSearch();
    const std::string told = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(told.begin(), told.end(), '\n'), 1) << told;
    EXPECT_NE(told.find(" lo"), std::string::npos) << told;  // names the adapter
  }
  channel.sendSearch();
  peer.sendToGroup(searchReply("JOINED-AT-LAST"));
  EXPECT_TRUE(receiver.waitUntil(lastIs("JOINED-AT-LAST")));
}

// Sends answers from its own socket, as fast as it can, until stopped or
// until it has sent `limit` of them.
class Flood {
 public:
  explicit Flood(std::size_t limit) : thread_([this, limit] { run(limit); }) {}
  ~Flood() { stop(); }
  void stop() {
    stopped_ = true;
    if (thread_.joinable()) thread_.join();
  }
  std::size_t sent() const { return sent_; }

 private:
  void run(std::size_t limit) {
    DatagramSocket socket;
    if (!socket.create()) return;
    for (std::size_t i = 0; i < limit && !stopped_; ++i, ++sent_)
      socket.sendTo(DISCOVERY_GROUP, DISCOVERY_PORT, searchReply("FLOOD-" + std::to_string(i % 100000)));
  }

  std::atomic<bool> stopped_{false};
  std::atomic<std::size_t> sent_{0};
  std::thread thread_;
};

TEST(ChannelCloseUnderFloodTest, CloseDuringAFloodReturnsAndNothingIsCalledAfterIt) {
  constexpr int kRounds = 10;
  constexpr std::size_t kFloodLimit = 5'000'000;
  constexpr std::size_t kSentAfterClose = 2000;
  for (int round = 0; round < kRounds; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    SystemNetwork network;
    RecordingReceiver receiver;
    MulticastChannel channel(receiver, network);
    ASSERT_EQ(channel.open(), 1) << channel.openError();
    Flood flood(kFloodLimit);
    ASSERT_TRUE(receiver.waitUntil([](const Records& records) { return records.size() >= 100; }));

    const auto started = std::chrono::steady_clock::now();
    channel.close();
    EXPECT_LT(std::chrono::steady_clock::now() - started, kDeadline);
    receiver.channelClosed();
    // Keep flooding for a while after Close, measured in datagrams sent.
    const std::size_t sentAtClose = flood.sent();
    while (flood.sent() < sentAtClose + kSentAfterClose && flood.sent() < kFloodLimit) std::this_thread::yield();
    flood.stop();
    EXPECT_EQ(receiver.callsAfterClose(), 0);
  }
}

}  // namespace
}  // namespace discovery
