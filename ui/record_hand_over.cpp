#include "ui/record_hand_over.h"

#include <QElapsedTimer>
#include <span>

#include "ui/camera_list_model.h"

namespace ui {
namespace {

// Well under a frame at 60 Hz, leaving room for the list's own layout and paint.
constexpr qint64 kSliceMilliseconds = 3;
constexpr qint64 kPublishEveryMilliseconds = 50;
// The clock is read between steps of this many records.
constexpr std::size_t kRecordsPerStep = 256;

}  // namespace

RecordHandOver::RecordHandOver(CameraListModel& cameras, QObject* parent)
    : QObject(parent),
      cameras_(cameras),
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
  auto arrived = inbox_.takeAll();
  const bool burstStarts = pendingNext_ == pending_.size();
  if (burstStarts) {
    pending_ = std::move(arrived);
    pendingNext_ = 0;
  } else {
    pending_.insert(pending_.end(), std::make_move_iterator(arrived.begin()), std::make_move_iterator(arrived.end()));
  }
  QElapsedTimer clock;
  clock.start();
  while (pendingNext_ < pending_.size() && !clock.hasExpired(kSliceMilliseconds)) {
    const std::size_t count = std::min(kRecordsPerStep, pending_.size() - pendingNext_);
    cameras_.absorb(std::span(pending_).subspan(pendingNext_, count));
    pendingNext_ += count;
  }
  // The views hear of the rows a slice added at once, not step by step: at a
  // burst's first slice, so that the first cameras show at once, then a few
  // times a second, since each time costs a repaint, and at its last.
  const bool done = pendingNext_ == pending_.size();
  if (burstStarts || done || sincePublished_.hasExpired(kPublishEveryMilliseconds)) {
    cameras_.publish();
    sincePublished_.start();
  }
  if (done) {
    pending_.clear();
    pendingNext_ = 0;
  } else {
    schedule();
  }
}

}  // namespace ui
