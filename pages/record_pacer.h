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

#include "discovery/camera_list.h"
#include "discovery/record_queue.h"

namespace pages {

// Well under a frame at 60 Hz, leaving room for the list's own layout and paint.
inline constexpr std::chrono::milliseconds kSliceTime{3};
inline constexpr std::chrono::milliseconds kPublishEvery{50};
// The clock is read between steps of this many records.
inline constexpr std::size_t kRecordsPerStep = 256;

struct RecordSlice {
  // What the view should hear of now, if anything.
  std::optional<discovery::ShownCameraList::Changes> changes;
  // Records are left for another slice.
  bool more = false;
};

class RecordPacer {
 public:
  using Clock = std::chrono::steady_clock;

  RecordPacer(discovery::RecordQueue& inbox, discovery::ShownCameraList& cameras,
              std::function<Clock::time_point()> now = Clock::now);

  RecordSlice applySlice();

 private:
  discovery::RecordQueue& inbox_;
  discovery::ShownCameraList& cameras_;
  std::function<Clock::time_point()> now_;
  discovery::RecordBacklog backlog_;
  Clock::time_point lastPublished_{};
};

}  // namespace pages
