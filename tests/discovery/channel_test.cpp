// The multicast channel on the private loopback network: requests on the
// wire, answers in arrival order whatever junk comes with them, answers
// handed on while other traffic never stops, opening and closing, and
// searches repeated while their answers overflow the buffer; and how its
// sockets share one batch of reads.
#include "discovery/channel.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <variant>
#include <vector>

#include "discovery/platform/read_in_turns.h"
#include "support/datagram_stream.h"
#include "support/datagrams.h"
#include "support/hostile_datagrams.h"
#include "support/fixed_network.h"
#include "support/recording_receiver.h"
#ifndef _WIN32
#include "support/search_responder.h"
#endif
#include "support/wire_peer.h"

namespace discovery {
namespace {

using namespace std::chrono_literals;
using testsupport::kDeadline;
using testsupport::macOf;
using testsupport::RecordingReceiver;
using testsupport::resized;
using testsupport::searchReply;
using testsupport::setIpReply;
using testsupport::WirePeer;
using Records = RecordingReceiver::Records;

auto atLeast(std::size_t count) {
  return [count](const Records& records) { return records.size() >= count; };
}

bool isSentinel(const DecodedRecord& record) { return macOf(record).starts_with("SENTINEL-"); }

// Datagrams on the wire, through the channel's real socket and receive
// thread, none of them dropped by the system: sent in chunks that the
// receive buffer holds even if the receive thread read nothing meanwhile,
// each ended by a sentinel answer and waited for (once the sentinel has
// arrived, everything before it has). Returns the records that arrived
// meanwhile, less the sentinels.
Records deliverWhole(WirePeer& peer, RecordingReceiver& receiver, const MulticastChannel& channel,
                     const std::vector<Bytes>& datagrams) {
  const std::size_t before = receiver.count();
  const std::size_t chunk = testsupport::datagramsHeldBy(channel.receiveBufferBytes());
  for (std::size_t start = 0; start < datagrams.size(); start += chunk) {
    const std::size_t end = std::min(datagrams.size(), start + chunk);
    for (std::size_t i = start; i < end; ++i) peer.sendToGroup(datagrams[i]);
    // Named by the count of records before it, so that no two are alike.
    const std::string sentinel = "SENTINEL-" + std::to_string(receiver.count());
    peer.sendToGroup(searchReply(sentinel));
    if (!receiver.waitUntil(testsupport::lastIs(sentinel))) {
      ADD_FAILURE() << sentinel << " never arrived";
      break;
    }
  }
  Records records = receiver.records();
  records.erase(records.begin(), records.begin() + static_cast<std::ptrdiff_t>(before));
  std::erase_if(records, isSentinel);
  return records;
}

class ChannelTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(peer.ok()) << "the test peer could not open its sockets";
    ASSERT_EQ(channel.open(), 1) << channel.openError();
  }

  SystemNetwork network;
  RecordingReceiver receiver;
  MulticastChannel channel{receiver, network};
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
  const SetIpRecord moved = testsupport::setIpRecord("CAM-2", {192, 168, 1, 241}, {192, 168, 1, 1});
  peer.sendToGroup(searchReply("CAM-1"));
  peer.sendToGroup(encodeDatagram(CMD_SET_IP_REPLY, encodeRecord(moved)));
  peer.sendToGroup(searchReply("CAM-3"));
  ASSERT_TRUE(receiver.waitUntil(atLeast(3)));
  const auto calls = receiver.records();
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(macOf(calls[0]), "CAM-1");
  EXPECT_EQ(std::get<SetIpRecord>(calls[1]), moved);
  EXPECT_EQ(macOf(calls[2]), "CAM-3");
}

TEST_F(ChannelTest, OpeningTwiceFailsAndLeavesTheFirstChannelWorking) {
  EXPECT_EQ(channel.open(), 0);
  EXPECT_TRUE(channel.isOpen());
  peer.sendToGroup(searchReply("STILL-HERE"));
  ASSERT_TRUE(receiver.waitUntil(atLeast(1)));
  EXPECT_EQ(macOf(receiver.records()[0]), "STILL-HERE");
}

TEST_F(ChannelTest, APortHeldByAnotherProgramMakesOpenFailCleanly) {
  RecordingReceiver otherReceiver;
  MulticastChannel second(otherReceiver, network);
  EXPECT_EQ(second.open(), 0);
  EXPECT_FALSE(second.isOpen());
  EXPECT_NE(second.openError().find("bind"), std::string::npos) << second.openError();
  second.sendSearch();  // a send on a channel that failed to open goes nowhere
  EXPECT_TRUE(peer.sentByOthers().empty());
}

#ifndef _WIN32
// Its own sockets share the port (one for each adapter), but only while one
// of them binds: no other program can take it from them, even asking for
// address reuse. (Windows has rules of its own for sockets that ask.)
TEST_F(ChannelTest, NoOtherProgramCanBindThePortWhileTheChannelIsOpen) {
  DatagramSocket other;
  ASSERT_TRUE(other.create() && other.enableAddressReuse());
  EXPECT_FALSE(other.bindAny(DISCOVERY_PORT));
}
#endif

TEST_F(ChannelTest, TheReceiveBufferIsAskedForAsTheNetworkSays) {
  // Linux doubles what it grants, up to its own ceiling; Windows grants what
  // is asked.
#ifdef _WIN32
  constexpr int kGranted = 65536;
#else
  constexpr int kGranted = 2 * 65536;
#endif
  testsupport::FixedNetwork small({}, 65536);
  channel.close();
  MulticastChannel sized(receiver, small);
  ASSERT_EQ(sized.open(), 1) << sized.openError();
  EXPECT_EQ(sized.receiveBufferBytes(), kGranted);
}

TEST_F(ChannelTest, CloseWhileBlockedReturnsPromptlyAndNothingIsCalledAfterwards) {
  peer.sendToGroup(searchReply("BEFORE"));
  ASSERT_TRUE(receiver.waitUntil(atLeast(1)));
  const auto started = std::chrono::steady_clock::now();
  channel.close();
  EXPECT_LT(std::chrono::steady_clock::now() - started, kDeadline);
  EXPECT_FALSE(channel.isOpen());
  peer.sendToGroup(searchReply("AFTER"));
  channel.sendSearch();  // a closed channel sends nothing
  EXPECT_TRUE(peer.sentByOthers().empty());
  EXPECT_EQ(receiver.records().size(), 1u);
}

TEST_F(ChannelTest, EveryLengthUpTo1100ArrivesExactlyWhenWholeAndWithinTheReceiveBuffer) {
  std::vector<Bytes> datagrams;
  std::vector<std::string> expected;
  for (std::size_t length = 0; length <= 1100; ++length) {
    const std::string mac = "LEN-" + std::to_string(length);
    datagrams.push_back(resized(searchReply(mac), length));
    if (length >= 16 + DeviceInfoRecord::kSize && length <= 1023) expected.push_back(mac);
  }
  for (std::size_t length = 0; length <= 1100; ++length) {
    const std::string mac = "SET-" + std::to_string(length);
    datagrams.push_back(resized(setIpReply(mac, {1, 2, 3, 4}, {1, 2, 3, 1}), length));
    if (length >= 16 + SetIpRecord::kSize && length <= 1023) expected.push_back(mac);
  }
  std::vector<std::string> arrived;
  for (const DecodedRecord& record : deliverWhole(peer, receiver, channel, datagrams))
    arrived.emplace_back(macOf(record));
  EXPECT_EQ(arrived, expected);
}

TEST_F(ChannelTest, JunkNeverReachesTheReceiverAndTheAnswersAmongItArriveIntact) {
  testsupport::Random random(20261208);
  std::vector<Bytes> datagrams;
  Records expected;
  for (int i = 0; i < 20000; ++i) {
    if (i % 10 != 0) {
      datagrams.push_back(testsupport::junkDatagram(random));
      continue;
    }
    // Odd MACs: arbitrary bytes, 20 bytes without a NUL, bytes GBK never uses.
    const std::string mac = i % 30 == 0 ? std::string(20, static_cast<char>(0xFF)) : testsupport::randomMac(random);
    datagrams.push_back(i % 20 == 0 ? setIpReply(mac, {10, 0, 0, 9}, {10, 0, 0, 1}) : searchReply(mac));
    expected.push_back(*decode(datagrams.back()));
  }
  const Records arrived = deliverWhole(peer, receiver, channel, datagrams);
  ASSERT_EQ(arrived.size(), expected.size());
  EXPECT_TRUE(arrived == expected);
}

// The channel handing answers to the queue the windows read from, while
// traffic beside them goes on: the stream runs until the consumer is woken or
// the deadline passes, so a wake-up that counts happened while it went on.
class HandOverBesideStreamTest : public testing::Test {
 protected:
  static constexpr auto kStreamInterval = 100us;

  void SetUp() override { ASSERT_EQ(channel.open(), 1) << channel.openError(); }

  // True once the consumer has been woken, false after the deadline.
  bool awaitWoken() {
    std::unique_lock lock(mutex);
    return wokenChanged.wait_for(lock, kDeadline, [&] { return woken; });
  }
  std::vector<std::string> macsTaken() {
    std::lock_guard lock(mutex);
    return receiver.macs;
  }

  // What was handed on by the time the channel said the answers quieted down.
  struct QuietRecorder : ChannelReceiver {
    explicit QuietRecorder(HandOverBesideStreamTest& test) : test(test) {}
    void deviceFound(DeviceInfoRecord record) override { heard.emplace_back(record.mac.text()); }
    void ipChanged(SetIpRecord) override {}
    void quiet() override {
      std::lock_guard lock(test.mutex);
      if (heard.empty() || test.woken) return;
      macs = heard;
      test.woken = true;
      test.wokenChanged.notify_all();
    }
    HandOverBesideStreamTest& test;
    std::vector<std::string> heard;  // the receive thread's own
    std::vector<std::string> macs;
  };

  std::mutex mutex;
  std::condition_variable wokenChanged;
  bool woken = false;
  SystemNetwork network;
  QuietRecorder receiver{*this};
  MulticastChannel channel{receiver, network};
};

TEST_F(HandOverBesideStreamTest, AnswersAreHandedOnWhileJunkKeepsStreaming) {
  // The answers come once the junk has gone on for a while, and the junk
  // never stops: now and then a random kind among the strays.
  constexpr std::size_t kFirstAnswer = 2000;
  testsupport::Random random(1000);
  testsupport::DatagramStream stream(
      [&](std::size_t turn) {
        if (turn >= kFirstAnswer && turn < kFirstAnswer + 3) return searchReply("CAM-" + std::to_string(turn - kFirstAnswer));
        return turn % 7 ? testsupport::strayDatagram(turn) : testsupport::junkDatagram(random);
      },
      kStreamInterval);
  ASSERT_TRUE(stream.ok());
  ASSERT_TRUE(awaitWoken()) << "the answers were held back while the junk went on";
  EXPECT_EQ(macsTaken(), (std::vector<std::string>{"CAM-0", "CAM-1", "CAM-2"}));
}

TEST_F(HandOverBesideStreamTest, AnswersThatNeverPauseAreHandedOnWhileTheyKeepComing) {
  testsupport::DatagramStream stream(
      [](std::size_t turn) { return turn % 2 ? Bytes{} : searchReply("CAM-" + std::to_string(turn / 2)); },
      kStreamInterval);
  ASSERT_TRUE(stream.ok());
  ASSERT_TRUE(awaitWoken()) << "the answers were held back while more kept coming";
  const auto macs = macsTaken();
  ASSERT_FALSE(macs.empty());
  EXPECT_EQ(macs.front(), "CAM-0");
}

// The channel's sockets, one for each adapter, filling one batch: each stands
// here as its queue of datagrams, told apart by their lengths.
class ReadInTurnsTest : public testing::Test {
 protected:
  struct Queue {
    std::deque<std::size_t> lengths;
    bool failing = false;
  };

  std::optional<ReceiveResult> readBatch(std::vector<Queue*> sockets) {
    return readInTurns(std::span(sockets), std::span(slots), [](Queue* queue, std::span<ReceivedDatagram> turn) {
      if (queue->failing) return std::optional<Turn>();
      std::size_t filled = 0;
      for (; filled < turn.size() && !queue->lengths.empty(); ++filled) {
        turn[filled].length = queue->lengths.front();
        queue->lengths.pop_front();
      }
      return std::optional(Turn{filled, queue->lengths.empty()});
    });
  }
  std::vector<std::size_t> lengthsRead(std::size_t count) const {
    std::vector<std::size_t> lengths;
    for (std::size_t i = 0; i < count; ++i) lengths.push_back(slots[i].length);
    return lengths;
  }

  std::vector<ReceivedDatagram> slots{kReceiveBatch};
};

TEST_F(ReadInTurnsTest, AFloodOnOneSocketCrowdsOutNoOtherAndEachKeepsItsOrder) {
  Queue flooded, quiet{{7, 8}};
  for (std::size_t length = 100; length < 1100; ++length) flooded.lengths.push_back(length);
  const auto result = readBatch({&flooded, &quiet});
  ASSERT_TRUE(result);
  ASSERT_EQ(result->count, kReceiveBatch);
  std::vector<std::size_t> fromFlood, fromQuiet;
  for (const std::size_t length : lengthsRead(result->count)) (length < 100 ? fromQuiet : fromFlood).push_back(length);
  EXPECT_EQ(fromQuiet, (std::vector<std::size_t>{7, 8}));
  EXPECT_TRUE(std::is_sorted(fromFlood.begin(), fromFlood.end()));
  EXPECT_EQ(fromFlood.front(), 100u);
}

TEST_F(ReadInTurnsTest, AFailingSocketKeepsNoneOfTheOthersDatagramsBack) {
  Queue failing{{}, true}, working{{7, 8}}, empty;
  const auto result = readBatch({&failing, &working, &empty});
  ASSERT_TRUE(result);
  EXPECT_EQ(result->status, ReceiveResult::Status::Received);
  EXPECT_EQ(lengthsRead(result->count), (std::vector<std::size_t>{7, 8}));
  EXPECT_EQ(readBatch({&failing, &empty})->status, ReceiveResult::Status::Failed);
  EXPECT_FALSE(readBatch({&working, &empty})) << "nothing was read and nothing failed";
}

TEST(ChannelReopenTest, AClosedChannelReleasesThePort) {
  SystemNetwork network;
  RecordingReceiver receiver;
  {
    MulticastChannel first(receiver, network);
    ASSERT_EQ(first.open(), 1) << first.openError();
  }
  MulticastChannel second(receiver, network);
  EXPECT_EQ(second.open(), 1) << second.openError();
}

// Not on Windows, which keeps no count of dropped datagrams: a search is
// never repeated there (SearchRoundsTest holds that), and the cameras here
// answer through a Linux packet capture.
#ifndef _WIN32
// Searches whose answers overflow the receive buffer: the channel holds a
// small buffer, and the receive thread is held up while a round's answers
// arrive, so the system drops some of them for certain.
class RepeatedSearchTest : public testing::Test {
 protected:
  static constexpr int kSmallBuffer = 64 * 1024;

  void SetUp() override {
    ASSERT_TRUE(responder.ok()) << "no packet capture for the cameras";
    ASSERT_EQ(channel.open(), 1) << channel.openError();
    ASSERT_TRUE(peer.ok());
  }

  // The whole burst while the receive thread is held.
  void overflow(const std::vector<Bytes>& burst) {
    receiver.hold();
    for (const Bytes& datagram : burst) peer.sendToGroup(datagram);
    receiver.release();
  }
  // 1,000 cameras answer every search: the first search's answers overflow
  // the buffer, later ones arrive whole. Returns their MACs.
  std::set<std::string> camerasOverflowingTheFirstSearch() {
    std::set<std::string> macs;
    for (int i = 0; i < 1000; ++i) {
      macs.insert("CAM-" + std::to_string(i));
      cameras.push_back(searchReply("CAM-" + std::to_string(i)));
    }
    answer = [this](std::size_t search) {
      if (search == 1)
        overflow(cameras);
      else
        EXPECT_EQ(deliverWhole(peer, receiver, channel, cameras).size(), cameras.size()) << "answers were lost again";
    };
    return macs;
  }
  std::set<std::string> macsHeard() {
    std::set<std::string> macs;
    for (const auto& record : receiver.records())
      if (!isSentinel(record)) macs.insert(macOf(record));
    return macs;
  }

  // True once `count` searches have been answered, false after the deadline.
  bool awaitAnswered(std::size_t count, std::chrono::seconds deadline = 30s) {
    std::unique_lock lock(mutex_);
    return answeredChanged_.wait_for(lock, deadline, [&] { return answered_ >= count; });
  }

  std::vector<Bytes> cameras;
  std::function<void(std::size_t search)> answer;
  testsupport::SearchResponder responder{[this](std::size_t search) {
    answer(search);
    std::lock_guard lock(mutex_);
    answered_ = search;
    answeredChanged_.notify_all();
  }};
  testsupport::FixedNetwork network{{testsupport::loopbackWire()}, kSmallBuffer};
  RecordingReceiver receiver;
  MulticastChannel channel{receiver, network};
  WirePeer peer;

 private:
  std::mutex mutex_;
  std::condition_variable answeredChanged_;
  std::size_t answered_ = 0;
};

TEST_F(RepeatedSearchTest, ASearchWhoseAnswersWereDroppedIsRepeatedUntilEveryCameraIsHeard) {
  const std::set<std::string> macs = camerasOverflowingTheFirstSearch();
  channel.sendSearch();
  ASSERT_TRUE(awaitAnswered(2)) << "the search was not repeated";
  EXPECT_EQ(macsHeard(), macs);
  // A third would follow the second round's quiet at once; none comes.
  EXPECT_FALSE(awaitAnswered(3, 2s)) << "the round that lost nothing was repeated";
}

TEST_F(RepeatedSearchTest, JunkThatTricklesInAllAlongNeitherDelaysNorStopsTheRepeat) {
  const std::set<std::string> macs = camerasOverflowingTheFirstSearch();
  // Junk every 10 ms: never a quiet of kRoundQuiet, were junk to count.
  testsupport::DatagramStream trickle(testsupport::strayDatagram, 10ms);
  ASSERT_TRUE(trickle.ok());
  channel.sendSearch();
  ASSERT_TRUE(awaitAnswered(2)) << "the search was not repeated";
  EXPECT_EQ(macsHeard(), macs);
  EXPECT_FALSE(awaitAnswered(3, 2s)) << "the round that lost nothing was repeated";
}

TEST_F(RepeatedSearchTest, AFloodThatOverflowsEveryRoundStopsTheRepeatsAtTheBound) {
  testsupport::Random random(5414);
  std::vector<Bytes> flood;
  for (int i = 0; i < 1000; ++i) flood.push_back(testsupport::junkDatagram(random));
  answer = [&](std::size_t) { overflow(flood); };
  channel.sendSearch();
  ASSERT_TRUE(awaitAnswered(1 + kMaxSearchRepeats)) << responder.searchesAnswered() << " searches";
  // Another would follow the last round's quiet at once; none comes.
  EXPECT_FALSE(awaitAnswered(2 + kMaxSearchRepeats, 2s));
}
#endif

}  // namespace
}  // namespace discovery
