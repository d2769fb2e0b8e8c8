// Applies the records the receive thread queued to the camera list in short
// slices, so that the window keeps repainting and answering clicks while a
// large burst is applied, and says when the view should hear of the new
// rows: at a burst's first slice, so that the first cameras show at once,
// then a few times a second, since each time costs a repaint, and at its last.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "pages/camera_list.h"

namespace pages {

// Well under a frame at 60 Hz, leaving room for the list's own layout and paint.
inline constexpr std::chrono::milliseconds kSliceTime{3};
inline constexpr std::chrono::milliseconds kPublishEvery{50};
// The clock is read between steps of this many records.
inline constexpr std::size_t kRecordsPerStep = 256;

struct RecordSlice {
  // What the view should hear of now, if anything.
  std::optional<ShownCameraList::Changes> changes;
  // Records are left for another slice.
  bool more = false;
};

// Records taken from the channel and not applied yet, handed out a step at
// a time so that a large burst can be applied in several goes.
class RecordBacklog {
 public:
  // Adds `arrived` behind what is left; true when nothing was left, so that
  // these records start a new burst.
  bool add(std::vector<discovery::DecodedRecord> arrived);
  // The next `most` records at most, oldest first.
  std::span<const discovery::DecodedRecord> next(std::size_t most);
  bool empty() const { return next_ == records_.size(); }

 private:
  std::vector<discovery::DecodedRecord> records_;
  std::size_t next_ = 0;
};

class RecordPacer {
 public:
  using Clock = std::chrono::steady_clock;
  using Source = std::function<std::vector<discovery::DecodedRecord>()>;
  // Sees each step of records just before the list absorbs it.
  using Observer = std::function<void(std::span<const discovery::DecodedRecord>)>;

  RecordPacer(Source arrived, ShownCameraList& cameras, Observer observe = {},
              std::function<Clock::time_point()> now = Clock::now);

  RecordSlice applySlice();

 private:
  Source arrived_;
  ShownCameraList& cameras_;
  Observer observe_;
  std::function<Clock::time_point()> now_;
  RecordBacklog backlog_;
  Clock::time_point lastPublished_{};
};

}  // namespace pages
