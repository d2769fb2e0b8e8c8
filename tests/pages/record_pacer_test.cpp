// The records the receive thread queued, applied to the list in slices: in
// arrival order, a slice at a time, the view told at a burst's start, at most
// every kPublishEvery in between, and at its end. A clock of the test's own
// moves on as the pacer reads it, so the slices do not depend on the machine.
#include "pages/record_pacer.h"
#include "pages/record_queue.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "support/datagrams.h"

namespace pages {
namespace {

using namespace std::chrono_literals;

class RecordPacerTest : public testing::Test {
 protected:
  // Queues `count` cameras as the receive thread does: in batches, then the
  // burst quiets down.
  void arriveAsABurst(int count) {
    std::thread receiveThread([&] {
      for (int i = 0; i < count; ++i) {
        inbox.deviceFound(testsupport::deviceRecord("CAM-" + std::to_string(i)));
        if (i % 64 == 63) inbox.endOfBatch();
      }
      inbox.endOfBatch();
      inbox.quiet();
    });
    receiveThread.join();
  }

  int wakes = 0;
  RecordQueue inbox{[this] { ++wakes; }};
  ShownCameraList cameras;
  RecordPacer::Clock::time_point now{};
  // Each reading of the clock is a millisecond after the one before.
  RecordPacer pacer{[this] { return inbox.takeAll(); }, cameras, {}, [this] { return now += 1ms; }};
};

TEST_F(RecordPacerTest, EveryRecordIsListedInArrivalOrderWithSetIpRepliesInPlace) {
  arriveAsABurst(1000);
  inbox.ipChanged(testsupport::setIpRecord("CAM-7", {192, 168, 1, 241}, {192, 168, 1, 1}));
  inbox.endOfBatch();
  inbox.quiet();
  while (pacer.applySlice().more) {
  }
  ASSERT_EQ(cameras.shownRows(), 1000u);
  for (std::size_t row = 0; row < 1000; ++row) ASSERT_EQ(cameras.cameras().row(row).mac, "CAM-" + std::to_string(row));
  EXPECT_EQ(cameras.cameras().row(7).ip, "192.168.1.241");
  EXPECT_GE(wakes, 1);
}

TEST_F(RecordPacerTest, ALargeBurstTakesSeveralSlicesAndTheViewHearsOfItAtItsStartNowAndThenAndAtItsEnd) {
  constexpr int kCameras = 20000;  // far more than one slice applies
  arriveAsABurst(kCameras);
  RecordSlice slice = pacer.applySlice();
  ASSERT_TRUE(slice.more);
  ASSERT_TRUE(slice.changes) << "the first cameras of a burst show at once";
  EXPECT_GT(slice.changes->shown, 0u);
  EXPECT_LT(slice.changes->shown, static_cast<std::size_t>(kCameras));

  int slices = 1;
  int publishes = 1;
  std::size_t shown = slice.changes->shown;
  auto lastPublished = now;
  while (slice.more) {
    slice = pacer.applySlice();
    ++slices;
    if (!slice.changes) continue;
    ++publishes;
    EXPECT_TRUE(!slice.more || now - lastPublished >= kPublishEvery) << "published after only " << (now - lastPublished).count();
    EXPECT_EQ(slice.changes->shownBefore, shown);
    shown = slice.changes->shown;
    lastPublished = now;
  }
  EXPECT_EQ(shown, static_cast<std::size_t>(kCameras)) << "the last slice tells the view of every row";
  EXPECT_LT(publishes, slices) << "not every slice costs a repaint";
}

TEST_F(RecordPacerTest, RecordsArrivingWhileABurstIsAppliedJoinItAndTheNextBurstShowsAtOnce) {
  arriveAsABurst(5000);
  ASSERT_TRUE(pacer.applySlice().more);
  arriveAsABurst(10);  // joins the burst being applied
  while (pacer.applySlice().more) {
  }
  EXPECT_EQ(cameras.shownRows(), 5000u);  // CAM-0 to CAM-9 were listed already
  inbox.deviceFound(testsupport::deviceRecord("LATE"));
  inbox.endOfBatch();
  const RecordSlice next = pacer.applySlice();
  ASSERT_TRUE(next.changes);
  EXPECT_EQ(next.changes->shown, 5001u);
}

}  // namespace
}  // namespace pages
