// One batch of re-addressing under way: it sends each camera its address a
// few milliseconds apart, planning again before each send from the list as
// it stands (unless the addresses were given, as by a site plan, or are a
// resend's, which go to the addresses already sent), then
// awaits the answers, checks on the link that the cameras that took their
// address answer there, and names the cameras reached, those not reached,
// those that refused the change and those that stayed silent, offering to
// send again to the silent ones.
#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
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
  // Addresses counted up from `start`.
  struct Consecutive {
    std::vector<std::string> macs;  // in list order
    std::uint32_t start = 0;
    std::uint32_t gateway = 0;
    TakenOnTheLink taken;
  };
  BatchRun(CameraPage& page, Consecutive batch);
  // Each camera to the address it is given.
  BatchRun(CameraPage& page, std::vector<BatchItem> planned);
  ~BatchRun();
  BatchRun(const BatchRun&) = delete;
  BatchRun& operator=(const BatchRun&) = delete;

  void start() { sendNext(); }
  // Set-IP replies as the list applies them: a camera's answer.
  void observe(std::span<const discovery::DecodedRecord> records);
  // Its closing notice has been answered: the page may start another.
  bool finished() const { return finished_; }

 private:
  std::size_t toSend() const { return planned_.empty() ? consecutive_.macs.size() : planned_.size(); }
  std::optional<BatchItem> next();
  void sendNext();
  void awaitAnswers();
  void confirmOnTheLink();
  void closeWithNotice();

  CameraPage& page_;
  Consecutive consecutive_;
  std::vector<BatchItem> planned_;  // given addresses, or a resend's: each camera to the address it was sent
  PcNetwork pc_;
  std::vector<BatchItem> sent_;
  std::map<std::string, std::uint32_t> answers_;  // MAC → the address its reply gave
  std::vector<BatchItem> moved_;                  // rows that show their new address
  std::map<std::uint32_t, AddressAnswer> onTheLink_;
  std::unique_ptr<RunningCheck> check_;
  Timer::Handle task_ = 0;
  bool finished_ = false;
};

}  // namespace pages
