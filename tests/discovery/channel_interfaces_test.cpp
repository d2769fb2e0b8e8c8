// Searching through every interface: inside the private namespace, two
// veth pairs stand for two networks; what leaves through each is captured at
// its far end.
#include <gtest/gtest.h>
#include <net/if.h>

#include <condition_variable>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>

#include "discovery/channel.h"
#include "support/datagrams.h"
#include "support/wire_peer.h"

namespace discovery {
namespace {

using testsupport::searchReply;
using testsupport::WirePeer;

bool run(const std::string& command) { return std::system((command + " 2>&1").c_str()) == 0; }

bool addNetwork(const std::string& name, const std::string& address) {
  return run("ip link add " + name + " type veth peer name " + name + "-far && ip link set " + name + "-far up && " +
             "ip link set " + name + " up && ip addr add " + address + " dev " + name);
}

class CountingReceiver : public ChannelReceiver {
 public:
  void deviceFound(DeviceInfoRecord record) override {
    std::lock_guard lock(mutex_);
    macs_.push_back(std::string(record.mac.text()));
    arrived_.notify_all();
  }
  void ipChanged(SetIpRecord) override {}
  bool waitFor(std::size_t count) {
    std::unique_lock lock(mutex_);
    return arrived_.wait_for(lock, std::chrono::seconds(10), [&] { return macs_.size() >= count; });
  }
  std::vector<std::string> macs() {
    std::lock_guard lock(mutex_);
    return macs_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::vector<std::string> macs_;
};

class EveryInterfaceTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(addNetwork("tvnet1", "10.31.0.2/24")); }
  void TearDown() override { run("ip link del tvnet1 2>/dev/null; ip link del tvnet2 2>/dev/null; true"); }

  // Captures at the far end of a network what leaves through it.
  static std::unique_ptr<WirePeer> farEndOf(const char* network) {
    return std::make_unique<WirePeer>((std::string(network) + "-far").c_str(), if_nametoindex(network));
  }

  CountingReceiver receiver;
};

TEST_F(EveryInterfaceTest, OneNetworkKeepsTheSingleDefaultSend) {
  MulticastChannel channel(receiver);
  ASSERT_EQ(channel.open(), 1) << channel.openError();
  WirePeer loopback;
  const auto farEnd = farEndOf("tvnet1");
  channel.sendSearch();
  EXPECT_TRUE(farEnd->sentByOthers().empty());  // the default route for multicast is loopback here
  EXPECT_EQ(loopback.sentByOthers().size(), 1u);
}

TEST_F(EveryInterfaceTest, EachRequestLeavesOnceThroughEveryNetworkWithTtlEight) {
  ASSERT_TRUE(addNetwork("tvnet2", "10.32.0.2/24"));
  MulticastChannel channel(receiver);
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
  MulticastChannel channel(receiver);
  ASSERT_EQ(channel.open(), 1) << channel.openError();
  channel.sendSearch();  // joins the group on both networks
  WirePeer first("tvnet1-far"), second("tvnet2-far");
  first.injectToGroup({10, 31, 0, 9}, searchReply("ON-NET-1"));
  second.injectToGroup({10, 32, 0, 9}, searchReply("ON-NET-2"));
  ASSERT_TRUE(receiver.waitFor(2));
  EXPECT_EQ(receiver.macs(), (std::vector<std::string>{"ON-NET-1", "ON-NET-2"}));
}

TEST_F(EveryInterfaceTest, ANetworkAddedAfterOpeningIsUsedFromTheNextRequest) {
  MulticastChannel channel(receiver);
  ASSERT_EQ(channel.open(), 1) << channel.openError();
  const auto first = farEndOf("tvnet1");
  channel.sendSearch();
  EXPECT_TRUE(first->sentByOthers().empty());
  ASSERT_TRUE(addNetwork("tvnet2", "10.32.0.2/24"));
  const auto second = farEndOf("tvnet2");
  channel.sendSearch();
  EXPECT_EQ(first->sentByOthers().size(), 1u);
  EXPECT_EQ(second->sentByOthers().size(), 1u);
  // One that went away is dropped without trouble: back to the single default send.
  ASSERT_TRUE(run("ip link del tvnet2"));
  WirePeer loopback;
  channel.sendSearch();
  EXPECT_TRUE(first->sentByOthers().empty());
  EXPECT_EQ(loopback.sentByOthers().size(), 1u);
}

TEST_F(EveryInterfaceTest, RestrictedToTheDefaultInterfaceNoOtherNetworkHearsTheSearch) {
  ASSERT_TRUE(addNetwork("tvnet2", "10.32.0.2/24"));
  ChannelSettings settings;
  settings.defaultInterfaceOnly = true;
  MulticastChannel channel(receiver, settings);
  ASSERT_EQ(channel.open(), 1) << channel.openError();
  const auto first = farEndOf("tvnet1"), second = farEndOf("tvnet2");
  channel.sendSearch();
  EXPECT_TRUE(first->sentByOthers().empty());
  EXPECT_TRUE(second->sentByOthers().empty());
}

}  // namespace
}  // namespace discovery
