// A site plan sent to the cameras it lists: the changes for the cameras the
// list holds, sent a few milliseconds apart, and what each camera made of
// its change once the answers have been awaited.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "pages/camera_page.h"
#include "pages/observed_channel.h"
#include "pages/site_plan.h"
#include "pages/timer.h"

namespace pages {

struct PlannedChange {
  std::string mac;  // the listed row's, as on the wire
  std::uint32_t address = 0;
  std::uint32_t gateway = 0;
};

enum class ChangeOutcome {
  kMoved,     // its row shows the new address
  kKept,      // it answered, with another address
  kNoAnswer,
};

// The shown row whose MAC reads `shownMac` (UTF-8, as the list shows it).
std::optional<std::size_t> shownRowOf(const CameraPage& page, std::string_view shownMac);

// The plan's rows whose camera is listed, in the plan's order.
std::vector<PlannedChange> listedChanges(const CameraPage& page, const SitePlan& plan);

ChangeOutcome outcomeOf(const CameraPage& page, const ObservedChannel& channel, const PlannedChange& change);

// Sends each change kBatchSpacing after the one before, through `timer`;
// `sent` runs once the last has gone. Dropping it stops the sending.
class PlanSend {
 public:
  PlanSend(CameraChannel& channel, Timer& timer, std::vector<PlannedChange> changes, std::function<void()> sent);
  ~PlanSend() { timer_.cancel(task_); }
  PlanSend(const PlanSend&) = delete;
  PlanSend& operator=(const PlanSend&) = delete;

  void start() { sendNext(); }

 private:
  void sendNext();

  CameraChannel& channel_;
  Timer& timer_;
  std::vector<PlannedChange> changes_;
  std::function<void()> sent_;
  std::size_t next_ = 0;
  Timer::Handle task_ = 0;
};

}  // namespace pages
