// The hand-over from the receive thread to the camera list, without a socket:
// a thread plays the channel's receive thread.
#include "ui/record_hand_over.h"

#include <gtest/gtest.h>

#include <QTest>
#include <QTimer>
#include <string>
#include <thread>

#include "support/datagrams.h"
#include "ui/camera_list_model.h"

namespace ui {
namespace {

constexpr int kWaitMs = 20000;

// Queues `count` cameras as the receive thread does: in batches, then the
// burst quiets down.
void arriveAsABurst(discovery::RecordQueue& inbox, int count) {
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

TEST(RecordHandOverTest, EveryRecordOfABurstIsListedInArrivalOrderWithSetIpRepliesInPlace) {
  CameraListModel cameras;
  RecordHandOver handOver(cameras);
  arriveAsABurst(handOver.inbox(), 1000);
  handOver.inbox().ipChanged(testsupport::setIpRecord("CAM-7", {192, 168, 1, 241}, {192, 168, 1, 1}));
  handOver.inbox().endOfBatch();
  handOver.inbox().quiet();
  ASSERT_TRUE(QTest::qWaitFor([&] { return cameras.rowCount() == 1000 && cameras.cameraAt(7).ip == "192.168.1.241"; },
                              kWaitMs));
  for (int row = 0; row < 1000; ++row) ASSERT_EQ(cameras.cameraAt(row).mac, "CAM-" + std::to_string(row));
}

TEST(RecordHandOverTest, ALargeBurstIsAppliedInSlicesWithTheEventLoopRunningBetweenThem) {
  constexpr int kCameras = 90000;  // far more than one slice applies, within the list's cap
  CameraListModel cameras;
  RecordHandOver handOver(cameras);
  // Another timer of the window's, such as a repaint's: it must run between
  // two slices.
  bool ranBetweenSlices = false;
  QTimer other;
  QObject::connect(&other, &QTimer::timeout, [&] {
    ranBetweenSlices = ranBetweenSlices || (cameras.rowCount() > 0 && cameras.rowCount() < kCameras);
  });
  other.start(0);
  arriveAsABurst(handOver.inbox(), kCameras);
  ASSERT_TRUE(QTest::qWaitFor([&] { return cameras.rowCount() == kCameras; }, kWaitMs));
  EXPECT_TRUE(ranBetweenSlices);
}

TEST(RecordHandOverTest, AWakeQueuedForAHandOverThatIsGoneDoesNothing) {
  CameraListModel cameras;
  {
    RecordHandOver handOver(cameras);
    arriveAsABurst(handOver.inbox(), 10);
  }
  QCoreApplication::processEvents();
  EXPECT_EQ(cameras.rowCount(), 0);
}

}  // namespace
}  // namespace ui
