#include "ui/record_hand_over.h"

#include <QElapsedTimer>

#include "ui/camera_list_model.h"

namespace ui {
namespace {

// Well under a frame at 60 Hz, leaving room for the list's own layout and paint.
constexpr qint64 kSliceMilliseconds = 3;
constexpr qint64 kPublishEveryMilliseconds = 50;
// The clock is read between steps of this many records.
constexpr std::size_t kRecordsPerStep = 256;

}  // namespace

RecordHandOver::RecordHandOver(CameraListModel& cameras)
    : cameras_(cameras),
      inbox_([this] { QMetaObject::invokeMethod(this, &RecordHandOver::schedule, Qt::QueuedConnection); }) {
  sincePublished_.start();
  sliceTimer_.setSingleShot(true);
  sliceTimer_.setInterval(0);
  connect(&sliceTimer_, &QTimer::timeout, this, &RecordHandOver::applySlice);
}

void RecordHandOver::schedule() {
  if (!sliceTimer_.isActive()) sliceTimer_.start();
}

void RecordHandOver::applySlice() {
  const bool burstStarts = backlog_.takeFrom(inbox_);
  QElapsedTimer clock;
  clock.start();
  while (!backlog_.empty() && !clock.hasExpired(kSliceMilliseconds)) cameras_.absorb(backlog_.next(kRecordsPerStep));
  // The views hear of the rows a slice added at once, not step by step: at a
  // burst's first slice, so that the first cameras show at once, then a few
  // times a second, since each time costs a repaint, and at its last.
  const bool done = backlog_.empty();
  if (burstStarts || done || sincePublished_.hasExpired(kPublishEveryMilliseconds)) {
    cameras_.publish();
    sincePublished_.start();
  }
  if (!done) schedule();
}

}  // namespace ui
