#include "pages/record_pacer.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace pages {

bool RecordBacklog::add(std::vector<discovery::DecodedRecord> arrived) {
  if (!empty()) {
    records_.insert(records_.end(), std::make_move_iterator(arrived.begin()), std::make_move_iterator(arrived.end()));
    return false;
  }
  records_ = std::move(arrived);
  next_ = 0;
  return true;
}

std::span<const discovery::DecodedRecord> RecordBacklog::next(std::size_t most) {
  const std::size_t count = std::min(most, records_.size() - next_);
  const std::span<const discovery::DecodedRecord> taken(records_.data() + next_, count);
  next_ += count;
  return taken;
}

RecordPacer::RecordPacer(Source arrived, ShownCameraList& cameras, Observer observe,
                         std::function<Clock::time_point()> now)
    : arrived_(std::move(arrived)), cameras_(cameras), observe_(std::move(observe)), now_(std::move(now)) {}

RecordSlice RecordPacer::applySlice() {
  const bool burstStarts = backlog_.add(arrived_());
  const Clock::time_point start = now_();
  Clock::time_point now = start;
  while (!backlog_.empty() && now - start < kSliceTime) {
    const auto step = backlog_.next(kRecordsPerStep);
    if (observe_) observe_(step);
    cameras_.absorb(step);
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
