// One batch of re-addressing under way: it sends each camera its address a
// few milliseconds apart, planning again before each send from the list as
// it stands, then awaits the answers and names the cameras that refused the
// change or stayed silent, offering to send again to the silent ones.
#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "discovery/protocol.h"
#include "pages/camera_page.h"
#include "pages/pc_network.h"
#include "pages/timer.h"

namespace pages {

// So that no burst is lost on a slow link.
inline constexpr std::chrono::milliseconds kBatchSpacing{5};
// How long the answers are awaited after the last request.
inline constexpr std::chrono::milliseconds kBatchAnswerWait{3000};
// A notice names this many cameras, then counts the rest, so that it fits
// the screen.
inline constexpr std::size_t kCamerasNamed = 10;

class BatchRun {
 public:
  BatchRun(CameraPage& page, std::vector<std::string> macs, std::uint32_t start, std::uint32_t gateway);
  ~BatchRun();
  BatchRun(const BatchRun&) = delete;
  BatchRun& operator=(const BatchRun&) = delete;

  void start() { sendNext(); }
  // Set-IP replies as the list applies them: a camera's answer.
  void observe(std::span<const discovery::DecodedRecord> records);
  // Its closing notice has been answered: the page may start another.
  bool finished() const { return finished_; }

 private:
  void sendNext();
  void awaitAnswers();
  void closeWithNotice();

  CameraPage& page_;
  std::vector<std::string> macs_;  // in list order
  std::uint32_t nextStart_;
  std::uint32_t gateway_;
  PcNetwork pc_;
  std::vector<BatchItem> sent_;
  std::map<std::string, std::uint32_t> answers_;  // MAC → the address its reply gave
  Timer::Handle task_ = 0;
  bool finished_ = false;
};

}  // namespace pages
