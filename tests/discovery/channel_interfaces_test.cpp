// Searching through every adapter: inside the private namespace, veth pairs
// stand for networks; what leaves through each is captured at its far end.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <net/if.h>

#include <algorithm>
#include <chrono>
#include <future>
#include <memory>
#include <string>
#include <vector>

#include "discovery/channel.h"
#include "support/ci.h"
#include "support/datagrams.h"
#include "support/fixed_network.h"
#include "support/recording_receiver.h"
#include "support/test_network_setup.h"
#include "support/wire_peer.h"

namespace discovery {
namespace {

using testing::UnorderedElementsAre;
using testsupport::kDeadline;
using testsupport::lastIs;
using testsupport::macOf;
using testsupport::RecordingReceiver;
using testsupport::searchReply;
using testsupport::WirePeer;
using Records = RecordingReceiver::Records;

using testsupport::VethPair;

class EveryInterfaceTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(first->ok()); }

  std::unique_ptr<VethPair> addSecond() { return addNetwork(2); }
  // Network n: tvnetN, this machine 10.(30+n).0.2/24.
  static std::unique_ptr<VethPair> addNetwork(int n) {
    return std::make_unique<VethPair>("tvnet" + std::to_string(n), "10." + std::to_string(30 + n) + ".0.2/24");
  }
  // Captures at the far end of a network what leaves through it.
  static std::unique_ptr<WirePeer> farEndOf(const VethPair& network) {
    return std::make_unique<WirePeer>(network.farEnd().c_str(), if_nametoindex(network.name().c_str()));
  }
  // A camera on each of the networks, given in the order addNetwork()
  // numbered them, answers in turn: on network n as ON-NET-n, from
  // 10.(30+n).0.9. Returns the MACs heard once there are as many (in no
  // set order: each network has a socket of its own).
  std::vector<std::string> answersFrom(const std::vector<const VethPair*>& networks) {
    for (std::size_t n = 1; n <= networks.size(); ++n)
      farEndOf(*networks[n - 1])->injectToGroup({10, static_cast<std::uint8_t>(30 + n), 0, 9},
                                                 searchReply("ON-NET-" + std::to_string(n)));
    receiver.waitUntil([&](const Records& records) { return records.size() >= networks.size(); });
    std::vector<std::string> macs;
    for (const DecodedRecord& record : receiver.records()) macs.emplace_back(macOf(record));
    return macs;
  }

  std::unique_ptr<VethPair> first = addNetwork(1);
  SystemNetwork network;
  RecordingReceiver receiver;
};

TEST_F(EveryInterfaceTest, WithOneNetworkTheSearchLeavesThroughItWhateverTheRoutesSay) {
  MulticastChannel channel(receiver, network);
  ASSERT_EQ(channel.open(), 1) << channel.openError();
  WirePeer loopback;
  const auto farEnd = farEndOf(*first);
  channel.sendSearch();
  EXPECT_EQ(farEnd->sentByOthers().size(), 1u);
  EXPECT_TRUE(loopback.sentByOthers().empty());  // where the multicast route points, here
}

TEST_F(EveryInterfaceTest, EachRequestLeavesOnceThroughEveryNetworkWithTtlEight) {
  const auto second = addSecond();
  ASSERT_TRUE(second->ok());
  MulticastChannel channel(receiver, network);
  ASSERT_EQ(channel.open(), 1) << channel.openError();
  const auto firstEnd = farEndOf(*first), secondEnd = farEndOf(*second);
  channel.sendSearch();
  channel.send(CMD_SET_IP, encodeSetIpRequest("00:11:22:33:44:55", 0xC0A801F1, 0xC0A80101));
  for (WirePeer* network : {firstEnd.get(), secondEnd.get()}) {
    const auto sent = network->sentByOthers();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].payload.size(), 16u);
    EXPECT_EQ(sent[1].payload.size(), 44u);
    for (const auto& datagram : sent) EXPECT_EQ(datagram.ttl, kMulticastTtl);
  }
}

TEST_F(EveryInterfaceTest, RepliesArriveFromEveryNetwork) {
  const auto second = addSecond();
  ASSERT_TRUE(second->ok());
  MulticastChannel channel(receiver, network);
  ASSERT_EQ(channel.open(), 1) << channel.openError();
  channel.sendSearch();  // joins the group on both networks
  EXPECT_THAT(answersFrom({first.get(), second.get()}), UnorderedElementsAre("ON-NET-1", "ON-NET-2"));
}

// Linux lets one socket join a group on a few interfaces only (20 by
// default); a PC with more adapters than that, bridges and VPNs counted, is
// nothing unusual.
TEST_F(EveryInterfaceTest, CamerasBehindEveryNetworkAreHeardWhateverTheLimitOnMembershipsPerSocket) {
  const testsupport::KernelSetting fewMemberships("net/ipv4/igmp_max_memberships", "2");
  ASSERT_TRUE(fewMemberships.ok());
  const auto second = addSecond();
  const auto third = addNetwork(3);
  ASSERT_TRUE(second->ok() && third->ok());
  MulticastChannel channel(receiver, network);
  ASSERT_EQ(channel.open(), 1) << channel.openError();
  channel.sendSearch();
  EXPECT_THAT(answersFrom({first.get(), second.get(), third.get()}),
              UnorderedElementsAre("ON-NET-1", "ON-NET-2", "ON-NET-3"));
}

// An adapter whose queue never drains, as a stuck network card's: no send
// waits for it, the other network still gets every search, and its answers
// still arrive.
TEST_F(EveryInterfaceTest, ANetworkThatNeverDrainsHoldsUpNoSendAndNoOtherNetwork) {
  constexpr int kSends = 1000;  // the socket's send buffer fills after about 300
  if (const std::string missing = testsupport::missingTool("tc", "iproute2"); !missing.empty()) {
    if (testsupport::underCi()) FAIL() << missing;
    GTEST_SKIP() << missing;
  }
  const auto second = addSecond();
  ASSERT_TRUE(second->ok());
  ASSERT_TRUE(first->stall());
  MulticastChannel channel(receiver, network);
  ASSERT_EQ(channel.open(), 1) << channel.openError();
  // On a thread of its own, so that a send that blocks fails the test
  // instead of hanging it.
  auto sending = std::async(std::launch::async, [&channel] {
    std::chrono::steady_clock::duration longest{};
    for (int i = 0; i < kSends; ++i) {
      const auto started = std::chrono::steady_clock::now();
      channel.sendSearch();
      longest = std::max(longest, std::chrono::steady_clock::now() - started);
    }
    return longest;
  });
  if (sending.wait_for(kDeadline) != std::future_status::ready) {
    first->release();  // frees the send blocked behind it
    FAIL() << "a send waited for the network that never drains";
  }
  EXPECT_LT(sending.get(), std::chrono::milliseconds(50)) << "the longest send";
  const auto secondEnd = farEndOf(*second);
  channel.sendSearch();
  EXPECT_EQ(secondEnd->sentByOthers().size(), 1u) << "the search did not leave through the other network";
  secondEnd->injectToGroup({10, 32, 0, 9}, searchReply("ON-NET-2"));
  EXPECT_TRUE(receiver.waitUntil(lastIs("ON-NET-2")));
}

TEST_F(EveryInterfaceTest, ANetworkAddedAfterOpeningIsUsedFromTheNextRequest) {
  MulticastChannel channel(receiver, network);
  ASSERT_EQ(channel.open(), 1) << channel.openError();
  const auto firstEnd = farEndOf(*first);
  channel.sendSearch();
  EXPECT_EQ(firstEnd->sentByOthers().size(), 1u);
  auto second = addSecond();
  ASSERT_TRUE(second->ok());
  const auto secondEnd = farEndOf(*second);
  channel.sendSearch();
  EXPECT_EQ(firstEnd->sentByOthers().size(), 1u);
  EXPECT_EQ(secondEnd->sentByOthers().size(), 1u);
  // One that went away is dropped without trouble.
  second.reset();
  channel.sendSearch();
  EXPECT_EQ(firstEnd->sentByOthers().size(), 1u);
}

// A laptop whose cable goes in after the program started: no adapter at
// open, then one.
TEST(AdapterPluggedInLaterTest, TheNextSearchJoinsItAndLeavesThroughIt) {
  testsupport::FixedNetwork network;
  RecordingReceiver receiver;
  MulticastChannel channel(receiver, network);
  ASSERT_EQ(channel.open(), 1) << channel.openError();
  WirePeer peer;
  channel.sendSearch();
  EXPECT_TRUE(peer.sentByOthers().empty());
  peer.sendToGroup(searchReply("BEFORE-THE-CABLE"));  // no membership yet: not heard

  network.setAdapters({testsupport::loopbackWire()});
  channel.sendSearch();
  EXPECT_EQ(peer.sentByOthers().size(), 1u);
  peer.sendToGroup(searchReply("AFTER-THE-CABLE"));
  ASSERT_TRUE(receiver.waitUntil([](const Records& records) { return !records.empty(); }));
  EXPECT_EQ(macOf(receiver.records().front()), "AFTER-THE-CABLE");
}

}  // namespace
}  // namespace discovery
