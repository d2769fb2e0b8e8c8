#include "discovery/channel.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <variant>
#include <vector>

#include "support/datagrams.h"
#include "support/wire_peer.h"

namespace discovery {
namespace {

using namespace std::chrono_literals;
using testsupport::searchReply;
using testsupport::WirePeer;

constexpr auto kDeadline = 10s;

// Records every call, and lets a test wait until a number of calls arrived.
class RecordingReceiver : public ChannelReceiver {
 public:
  void deviceFound(DeviceInfoRecord record) override { add(record); }
  void ipChanged(SetIpRecord record) override { add(record); }

  bool waitForCalls(std::size_t count) {
    std::unique_lock lock(mutex_);
    return arrived_.wait_for(lock, kDeadline, [&] { return calls_.size() >= count; });
  }
  std::vector<DecodedRecord> calls() {
    std::lock_guard lock(mutex_);
    return calls_;
  }

 private:
  void add(DecodedRecord record) {
    std::lock_guard lock(mutex_);
    calls_.push_back(std::move(record));
    arrived_.notify_all();
  }

  std::mutex mutex_;
  std::condition_variable arrived_;
  std::vector<DecodedRecord> calls_;
};

std::string macOf(const DecodedRecord& call) {
  if (const auto* device = std::get_if<DeviceInfoRecord>(&call)) return std::string(device->mac.text());
  return "set-ip:" + std::string(std::get<SetIpRecord>(call).mac.text());
}

class ChannelTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(peer.ok()) << "the test peer could not open its sockets";
    ASSERT_EQ(channel.open(), 1) << channel.openError();
  }

  RecordingReceiver receiver;
  MulticastChannel channel{receiver};
  WirePeer peer;
};

TEST_F(ChannelTest, RequestsReachTheGroupWithTimeToLiveEight) {
  channel.sendSearch();
  channel.send(CMD_SET_IP, encodeSetIpRequest("00:11:22:33:44:55", 0xC0A801F1, 0xC0A80101));
  const auto sent = peer.sentByOthers();
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent[0].payload, encodeDatagram(CMD_SEARCH, {}));
  EXPECT_EQ(sent[1].payload.size(), 44u);
  EXPECT_EQ(commandOf(sent[1].payload), CMD_SET_IP);
  for (const auto& datagram : sent) EXPECT_EQ(datagram.ttl, kMulticastTtl);
}

TEST_F(ChannelTest, RepliesReachTheReceiverInArrivalOrderAndOwnRequestsAreDropped) {
  channel.sendSearch();  // heard back through multicast loopback, before the replies
  SetIpRecord moved;
  moved.mac.assign("CAM-2");
  moved.newAddress = {192, 168, 1, 241};
  moved.newGateway = {192, 168, 1, 1};
  peer.sendToGroup(searchReply("CAM-1"));
  peer.sendToGroup(encodeDatagram(CMD_SET_IP_REPLY, encodeRecord(moved)));
  peer.sendToGroup(searchReply("CAM-3"));
  ASSERT_TRUE(receiver.waitForCalls(3));
  const auto calls = receiver.calls();
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(macOf(calls[0]), "CAM-1");
  EXPECT_EQ(std::get<SetIpRecord>(calls[1]), moved);
  EXPECT_EQ(macOf(calls[2]), "CAM-3");
}

TEST_F(ChannelTest, OversizeAndMalformedDatagramsAreDiscardedAndLaterOnesStillArrive) {
  Bytes oversize = searchReply("TOO-LONG");
  oversize.resize(1024);
  Bytes longest = searchReply("LONGEST");
  longest.resize(1023);
  Bytes wrongMagic = searchReply("WRONG");
  wrongMagic[0] = 0xAA;
  peer.sendToGroup(oversize);
  peer.sendToGroup(wrongMagic);
  Bytes truncated = searchReply("SHORT");
  truncated.resize(100);
  peer.sendToGroup(truncated);
  peer.sendToGroup(longest);
  ASSERT_TRUE(receiver.waitForCalls(1));
  peer.sendToGroup(searchReply("LAST"));
  ASSERT_TRUE(receiver.waitForCalls(2));
  const auto calls = receiver.calls();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(macOf(calls[0]), "LONGEST");
  EXPECT_EQ(macOf(calls[1]), "LAST");
}

TEST_F(ChannelTest, AnEmptyDatagramDispatchesNothing) {
  peer.sendToGroup({});
  peer.sendToGroup(searchReply("AFTER-EMPTY"));
  ASSERT_TRUE(receiver.waitForCalls(1));
  const auto calls = receiver.calls();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(macOf(calls[0]), "AFTER-EMPTY");
}

TEST_F(ChannelTest, OpeningTwiceFailsAndLeavesTheFirstChannelWorking) {
  EXPECT_EQ(channel.open(), 0);
  EXPECT_TRUE(channel.isOpen());
  peer.sendToGroup(searchReply("STILL-HERE"));
  ASSERT_TRUE(receiver.waitForCalls(1));
  EXPECT_EQ(macOf(receiver.calls()[0]), "STILL-HERE");
}

TEST_F(ChannelTest, APortHeldByAnotherProgramMakesOpenFailCleanly) {
  RecordingReceiver otherReceiver;
  MulticastChannel second(otherReceiver);
  EXPECT_EQ(second.open(), 0);
  EXPECT_FALSE(second.isOpen());
  EXPECT_NE(second.openError().find("bind"), std::string::npos) << second.openError();
  second.sendSearch();  // a send on a channel that failed to open goes nowhere
  EXPECT_TRUE(peer.sentByOthers().empty());
}

TEST_F(ChannelTest, ReceiveBufferIsEnlarged) {
  EXPECT_GT(channel.receiveBufferBytes(), 212992);
}

TEST_F(ChannelTest, CloseWhileBlockedReturnsPromptlyAndNothingIsCalledAfterwards) {
  peer.sendToGroup(searchReply("BEFORE"));
  ASSERT_TRUE(receiver.waitForCalls(1));
  const auto started = std::chrono::steady_clock::now();
  channel.close();
  EXPECT_LT(std::chrono::steady_clock::now() - started, kDeadline);
  EXPECT_FALSE(channel.isOpen());
  peer.sendToGroup(searchReply("AFTER"));
  channel.sendSearch();  // a closed channel sends nothing
  EXPECT_TRUE(peer.sentByOthers().empty());
  EXPECT_EQ(receiver.calls().size(), 1u);
}

TEST(ChannelReopenTest, AClosedChannelReleasesThePort) {
  RecordingReceiver receiver;
  {
    MulticastChannel first(receiver);
    ASSERT_EQ(first.open(), 1) << first.openError();
  }
  MulticastChannel second(receiver);
  EXPECT_EQ(second.open(), 1) << second.openError();
}

}  // namespace
}  // namespace discovery
