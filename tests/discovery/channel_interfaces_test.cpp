// Searching through every adapter: inside the private namespace, two veth
// pairs stand for two networks; what leaves through each is captured at its
// far end.
#include <gtest/gtest.h>
#include <net/if.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "discovery/channel.h"
#include "support/datagrams.h"
#include "support/fixed_network.h"
#include "support/recording_receiver.h"
#include "support/wire_peer.h"

namespace discovery {
namespace {

using testsupport::RecordingReceiver;
using testsupport::searchReply;
using testsupport::WirePeer;
using Records = RecordingReceiver::Records;

bool run(const std::string& command) { return std::system((command + " 2>&1").c_str()) == 0; }

bool addNetwork(const std::string& name, const std::string& address) {
  return run("ip link add " + name + " type veth peer name " + name + "-far && ip link set " + name + "-far up && " +
             "ip link set " + name + " up && ip addr add " + address + " dev " + name);
}

class EveryInterfaceTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(addNetwork("tvnet1", "10.31.0.2/24")); }
  void TearDown() override { run("ip link del tvnet1 2>/dev/null; ip link del tvnet2 2>/dev/null; true"); }

  // Captures at the far end of a network what leaves through it.
  static std::unique_ptr<WirePeer> farEndOf(const char* network) {
    return std::make_unique<WirePeer>((std::string(network) + "-far").c_str(), if_nametoindex(network));
  }

  static std::vector<std::string> macsOf(const Records& records) {
    std::vector<std::string> macs;
    for (const auto& record : records) macs.emplace_back(std::get<DeviceInfoRecord>(record).mac.text());
    return macs;
  }

  SystemNetwork network;
  RecordingReceiver receiver;
};

TEST_F(EveryInterfaceTest, WithOneNetworkTheSearchLeavesThroughItWhateverTheRoutesSay) {
  MulticastChannel channel(receiver, network);
  ASSERT_EQ(channel.open(), 1) << channel.openError();
  WirePeer loopback;
  const auto farEnd = farEndOf("tvnet1");
  channel.sendSearch();
  EXPECT_EQ(farEnd->sentByOthers().size(), 1u);
  EXPECT_TRUE(loopback.sentByOthers().empty());  // where the multicast route points, here
}

TEST_F(EveryInterfaceTest, EachRequestLeavesOnceThroughEveryNetworkWithTtlEight) {
  ASSERT_TRUE(addNetwork("tvnet2", "10.32.0.2/24"));
  MulticastChannel channel(receiver, network);
  ASSERT_EQ(channel.open(), 1) << channel.openError();
  const auto first = farEndOf("tvnet1"), second = farEndOf("tvnet2");
  channel.sendSearch();
  channel.send(CMD_SET_IP, encodeSetIpRequest("00:11:22:33:44:55", 0xC0A801F1, 0xC0A80101));
  for (WirePeer* network : {first.get(), second.get()}) {
    const auto sent = network->sentByOthers();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].payload.size(), 16u);
    EXPECT_EQ(sent[1].payload.size(), 44u);
    for (const auto& datagram : sent) EXPECT_EQ(datagram.ttl, kMulticastTtl);
  }
}

TEST_F(EveryInterfaceTest, RepliesArriveFromEveryNetwork) {
  ASSERT_TRUE(addNetwork("tvnet2", "10.32.0.2/24"));
  MulticastChannel channel(receiver, network);
  ASSERT_EQ(channel.open(), 1) << channel.openError();
  channel.sendSearch();  // joins the group on both networks
  WirePeer first("tvnet1-far"), second("tvnet2-far");
  first.injectToGroup({10, 31, 0, 9}, searchReply("ON-NET-1"));
  second.injectToGroup({10, 32, 0, 9}, searchReply("ON-NET-2"));
  ASSERT_TRUE(receiver.waitUntil([](const Records& records) { return records.size() >= 2; }));
  EXPECT_EQ(macsOf(receiver.records()), (std::vector<std::string>{"ON-NET-1", "ON-NET-2"}));
}

TEST_F(EveryInterfaceTest, ANetworkAddedAfterOpeningIsUsedFromTheNextRequest) {
  MulticastChannel channel(receiver, network);
  ASSERT_EQ(channel.open(), 1) << channel.openError();
  const auto first = farEndOf("tvnet1");
  channel.sendSearch();
  EXPECT_EQ(first->sentByOthers().size(), 1u);
  ASSERT_TRUE(addNetwork("tvnet2", "10.32.0.2/24"));
  const auto second = farEndOf("tvnet2");
  channel.sendSearch();
  EXPECT_EQ(first->sentByOthers().size(), 1u);
  EXPECT_EQ(second->sentByOthers().size(), 1u);
  // One that went away is dropped without trouble.
  ASSERT_TRUE(run("ip link del tvnet2"));
  channel.sendSearch();
  EXPECT_EQ(first->sentByOthers().size(), 1u);
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
  EXPECT_EQ(std::get<DeviceInfoRecord>(receiver.records().front()).mac.text(), "AFTER-THE-CABLE");
}


}  // namespace
}  // namespace discovery
