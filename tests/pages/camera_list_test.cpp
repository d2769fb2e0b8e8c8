// The camera list's rules, keyed by the MAC's bytes whatever they are, and
// the queue that carries records to it from the receive thread, with the
// timing of their hand-over.
#include "pages/camera_list.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <initializer_list>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "pages/record_pacer.h"
#include "pages/record_queue.h"
#include "support/datagrams.h"

namespace pages {
namespace {

using namespace discovery;
using namespace std::chrono_literals;
using testsupport::deviceRecord;
using testsupport::setIpRecord;

TEST(CameraListTest, OneRowPerMacWithTheFirstRepliesTexts) {
  CameraList list;
  EXPECT_EQ(list.addDevice(deviceRecord("AA", "10.0.0.5")), 0u);
  EXPECT_EQ(list.addDevice(deviceRecord("BB", "10.0.0.6")), 1u);
  EXPECT_FALSE(list.addDevice(deviceRecord("AA", "172.16.5.9", "172.16.5.1")));
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list.row(0).ip, "10.0.0.5");
  EXPECT_EQ(list.row(0).gateway, "10.0.0.1");
}

TEST(CameraListTest, MacsAreComparedByteForByteWhetherOrNotTheyAreGbk) {
  // A lone lead byte, a lead byte before an ASCII byte, bytes GBK never uses.
  const std::string macs[] = {"aa:bb", "AA:BB", "", "CAM", "CAM\x81", "\x81\x30", "\x81", "\xFF\xFE\x80"};
  CameraList list;
  for (const std::string& mac : macs) EXPECT_TRUE(list.addDevice(deviceRecord(mac, "10.0.0.5"))) << mac;
  for (const std::string& mac : macs) EXPECT_FALSE(list.addDevice(deviceRecord(mac, "10.9.9.9"))) << mac;
  EXPECT_EQ(list.applyIpChange(setIpRecord("CAM\x81", {1, 2, 3, 4}, {1, 2, 3, 1})), 4u);
  ASSERT_EQ(list.size(), std::size(macs));
  EXPECT_EQ(list.row(3).ip, "10.0.0.5");  // "CAM" is another camera
  EXPECT_EQ(list.row(4).ip, "1.2.3.4");
}

TEST(CameraListTest, ATwentyByteMacIsTheWholeKeyWhateverGatewayFollows) {
  const auto deviceFrom = [](const Bytes& datagram) { return std::get<DeviceInfoRecord>(*decode(datagram)); };
  CameraList list;
  EXPECT_EQ(list.addDevice(deviceFrom(testsupport::searchReply("0123456789ABCDEFGHIJ", "10.0.0.5", "10.0.0.1"))), 0u);
  EXPECT_FALSE(list.addDevice(deviceFrom(testsupport::searchReply("0123456789ABCDEFGHIJ", "10.0.0.6", "10.9.9.9"))));
  // A longer MAC in a set-IP reply is cut to the same 20 bytes on the wire.
  const auto longer = decode(testsupport::setIpReply("0123456789ABCDEFGHIJKLMN", {1, 2, 3, 4}, {1, 2, 3, 1}));
  EXPECT_EQ(list.applyIpChange(std::get<SetIpRecord>(*longer)), 0u);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list.row(0).mac, "0123456789ABCDEFGHIJ");
  EXPECT_EQ(list.row(0).ip, "1.2.3.4");
}

TEST(CameraListTest, IpChangeRewritesAddressAndGatewayOfThatRowOnly) {
  CameraList list;
  list.addDevice(deviceRecord("AA", "10.0.0.5"));
  list.addDevice(deviceRecord("BB", "10.0.0.6"));
  EXPECT_EQ(list.applyIpChange(setIpRecord("BB", {192, 168, 1, 241}, {192, 168, 1, 1})), 1u);
  EXPECT_EQ(list.row(1).ip, "192.168.1.241");
  EXPECT_EQ(list.row(1).gateway, "192.168.1.1");
  EXPECT_EQ(list.row(0).ip, "10.0.0.5");
  // A later search reply for the moved camera keeps the updated texts.
  list.addDevice(deviceRecord("BB", "10.0.0.6"));
  EXPECT_EQ(list.row(1).ip, "192.168.1.241");
}

TEST(CameraListTest, IpChangeForAnUnlistedMacNeverAddsOrChangesARow) {
  CameraList list;
  list.addDevice(deviceRecord("CAM", "10.0.0.5"));
  for (const std::string mac : {"", "CA", "CAM ", "cam", "CAM\x81", "OTHER"})
    EXPECT_FALSE(list.applyIpChange(setIpRecord(mac, {1, 2, 3, 4}, {1, 2, 3, 1}))) << mac;
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list.row(0).ip, "10.0.0.5");
  EXPECT_EQ(list.row(0).gateway, "10.0.0.1");
}

TEST(CameraListTest, AFullListTakesNoNewMacButStillMovesItsRows) {
  CameraList list(2);
  list.addDevice(deviceRecord("AA", "10.0.0.5"));
  list.addDevice(deviceRecord("BB", "10.0.0.6"));
  EXPECT_FALSE(list.addDevice(deviceRecord("CC", "10.0.0.7")));
  EXPECT_FALSE(list.applyIpChange(setIpRecord("CC", {1, 2, 3, 4}, {1, 2, 3, 1})));
  EXPECT_EQ(list.applyIpChange(setIpRecord("BB", {192, 168, 1, 241}, {192, 168, 1, 1})), 1u);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list.row(1).ip, "192.168.1.241");
}

// What a view is told: new rows once, and the rewritten rows it already shows.
TEST(ShownCameraListTest, PublishesNewRowsOnceAndTheRangeOfShownRowsRewritten) {
  ShownCameraList list;
  const DecodedRecord first[] = {deviceRecord("AA", "10.0.0.5"), deviceRecord("BB", "10.0.0.6"),
                                 deviceRecord("CC", "10.0.0.7"), deviceRecord("DD", "10.0.0.8")};
  list.absorb(first);
  EXPECT_EQ(list.shownRows(), 0u);
  auto changes = list.publish();
  EXPECT_EQ(changes.shownBefore, 0u);
  EXPECT_EQ(changes.shown, 4u);
  EXPECT_FALSE(changes.anyRewritten);

  const DecodedRecord second[] = {setIpRecord("CC", {1, 2, 3, 4}, {1, 2, 3, 1}), deviceRecord("EE", "10.0.0.9"),
                                  setIpRecord("BB", {1, 2, 3, 5}, {1, 2, 3, 1}),
                                  setIpRecord("EE", {1, 2, 3, 6}, {1, 2, 3, 1}),
                                  setIpRecord("ZZ", {1, 2, 3, 7}, {1, 2, 3, 1})};
  list.absorb(second);
  changes = list.publish();
  EXPECT_EQ(changes.shownBefore, 4u);
  EXPECT_EQ(changes.shown, 5u);
  ASSERT_TRUE(changes.anyRewritten);
  EXPECT_EQ(changes.firstRewritten, 1u);  // BB and CC; EE is new anyway, ZZ is not listed
  EXPECT_EQ(changes.lastRewritten, 2u);
  EXPECT_EQ(list.cameras().row(4).ip, "1.2.3.6");

  changes = list.publish();
  EXPECT_EQ(changes.shownBefore, changes.shown);
  EXPECT_FALSE(changes.anyRewritten);
}

TEST(RecordQueueTest, KeepsArrivalOrderAndWakesTheConsumerOnceWhenTheAnswersQuietDown) {
  int wakes = 0;
  RecordQueue queue([&] { ++wakes; });
  queue.deviceFound(deviceRecord("AA", "1.1.1.1"));
  queue.ipChanged(setIpRecord("AA", {2, 2, 2, 2}, {2, 2, 2, 1}));
  queue.deviceFound(deviceRecord("BB", "1.1.1.2"));
  EXPECT_TRUE(queue.takeAll().empty());  // nothing is handed on before the batch ends
  queue.endOfBatch();
  queue.deviceFound(deviceRecord("CC", "1.1.1.3"));
  queue.endOfBatch();
  EXPECT_EQ(wakes, 0);  // the burst may still be arriving
  queue.quiet();
  queue.quiet();
  EXPECT_EQ(wakes, 1);
  const auto taken = queue.takeAll();
  ASSERT_EQ(taken.size(), 4u);
  EXPECT_EQ(std::get<DeviceInfoRecord>(taken[0]).mac.text(), "AA");
  EXPECT_EQ(std::get<SetIpRecord>(taken[1]).mac.text(), "AA");
  EXPECT_EQ(std::get<DeviceInfoRecord>(taken[2]).mac.text(), "BB");
  EXPECT_EQ(std::get<DeviceInfoRecord>(taken[3]).mac.text(), "CC");
  queue.quiet();  // nothing waiting: nobody is woken
  queue.endOfBatch();  // nor by an empty batch
  EXPECT_EQ(wakes, 1);
  queue.deviceFound(deviceRecord("DD", "1.1.1.4"));
  queue.endOfBatch();
  queue.quiet();
  EXPECT_EQ(wakes, 2);
}

TEST(RecordBacklogTest, HandsOutRecordsInOrderAndSaysWhichTakeStartsABurst) {
  RecordQueue queue([] {});
  RecordBacklog backlog;
  const auto arrive = [&](std::initializer_list<const char*> macs) {
    for (const char* mac : macs) queue.deviceFound(deviceRecord(mac));
    queue.endOfBatch();
  };
  const auto macsOf = [](std::span<const DecodedRecord> records) {
    std::vector<std::string> macs;
    for (const auto& record : records) macs.emplace_back(std::get<DeviceInfoRecord>(record).mac.text());
    return macs;
  };
  arrive({"AA", "BB", "CC"});
  EXPECT_TRUE(backlog.add(queue.takeAll()));
  EXPECT_THAT(macsOf(backlog.next(2)), testing::ElementsAre("AA", "BB"));
  arrive({"DD"});
  EXPECT_FALSE(backlog.add(queue.takeAll())) << "CC was still waiting";
  EXPECT_THAT(macsOf(backlog.next(10)), testing::ElementsAre("CC", "DD"));
  EXPECT_TRUE(backlog.empty());
  EXPECT_TRUE(backlog.next(10).empty());
  arrive({"EE"});
  EXPECT_TRUE(backlog.add(queue.takeAll()));
  EXPECT_THAT(macsOf(backlog.next(10)), testing::ElementsAre("EE"));
}

TEST(HandOverTimingTest, AnswersAreHandedOnOnceTheirBurstPausesForAnEighthOfItsLength) {
  const HandOverTiming::Clock::time_point start = HandOverTiming::Clock::time_point{} + 1h;
  HandOverTiming timing;
  EXPECT_EQ(timing.due(), std::nullopt);
  timing.answered(start);
  EXPECT_EQ(timing.due(), start + kShortestQuiet);
  for (auto now = start; now <= start + 80ms; now += 1ms) timing.answered(now);
  EXPECT_EQ(timing.due(), start + 80ms + 80ms / kQuietShareOfBurst);
  timing.handedOn();
  EXPECT_EQ(timing.due(), std::nullopt);
  timing.answered(start + 200ms);
  EXPECT_EQ(timing.due(), start + 200ms + kShortestQuiet) << "a burst after the pause is measured on its own";
}

TEST(HandOverTimingTest, AnswersThatNeverPauseAreHandedOnWhenTheFirstNotHandedOnHasWaitedTheLongestHold) {
  const HandOverTiming::Clock::time_point start = HandOverTiming::Clock::time_point{} + 1h;
  HandOverTiming timing;
  // An answer every millisecond, handed on whenever that is due before the next.
  std::vector<HandOverTiming::Clock::time_point> handOvers;
  for (auto now = start; now < start + 3 * kLongestHold; now += 1ms) {
    timing.answered(now);
    if (const auto due = timing.due(); due && *due <= now + 1ms) {
      handOvers.push_back(*due);
      timing.handedOn();
    }
  }
  EXPECT_THAT(handOvers, testing::ElementsAre(start + kLongestHold, start + 2 * kLongestHold, start + 3 * kLongestHold));
}

TEST(RecordQueueTest, NothingIsLostBetweenAProducerAndAConsumerThread) {
  constexpr int kRecords = 20000;
  RecordQueue queue([] {});
  std::thread producer([&] {
    for (int i = 0; i < kRecords; ++i) {
      queue.deviceFound(deviceRecord(std::to_string(i), "1.1.1.1"));
      if (i % 7 == 0) queue.endOfBatch();
      if (i % 100 == 0) queue.quiet();
    }
    queue.endOfBatch();
  });
  int next = 0;
  bool inOrder = true;
  while (next < kRecords) {
    for (const auto& record : queue.takeAll())
      inOrder = inOrder && std::get<DeviceInfoRecord>(record).mac.text() == std::to_string(next++);
    std::this_thread::yield();
  }
  producer.join();
  EXPECT_TRUE(inOrder);
  EXPECT_EQ(next, kRecords);
  EXPECT_TRUE(queue.takeAll().empty());
}

}  // namespace
}  // namespace pages
