#include "pages/record_pacer.h"

#include <utility>

namespace pages {

RecordPacer::RecordPacer(discovery::RecordQueue& inbox, discovery::ShownCameraList& cameras,
                         std::function<Clock::time_point()> now)
    : inbox_(inbox), cameras_(cameras), now_(std::move(now)) {}

RecordSlice RecordPacer::applySlice() {
  const bool burstStarts = backlog_.takeFrom(inbox_);
  const Clock::time_point start = now_();
  Clock::time_point now = start;
  while (!backlog_.empty() && now - start < kSliceTime) {
    cameras_.absorb(backlog_.next(kRecordsPerStep));
    now = now_();
  }
  RecordSlice slice;
  slice.more = !backlog_.empty();
  if (burstStarts || !slice.more || now - lastPublished_ >= kPublishEvery) {
    slice.changes = cameras_.publish();
    lastPublished_ = now;
  }
  return slice;
}

}  // namespace pages
