// The camera page as the terminal program runs it: the page over the real
// channel (observed, so that each camera's answer can be told), the terminal
// prompter, the link's address check and the event loop they all wait in.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <span>

#include "cli/event_loop.h"
#include "cli/terminal_prompter.h"
#include "pages/camera_page.h"
#include "pages/multicast_camera_channel.h"
#include "pages/observed_channel.h"
#include "pages/plan_run.h"
#include "res/strings.h"

namespace cli {

// What every command is given.
struct Context {
  Terminal& terminal;
  const ui::strings::TerminalTexts& texts;
};

class CameraSession : private pages::CameraPageView {
 public:
  // `yes`: the page's questions are answered as by --yes.
  CameraSession(const Context& context, bool yes);
  ~CameraSession() override { page_.close(); }

  // Opens the page; false, and the user told why, when nothing can be heard.
  bool open();
  // Searches, and listens for `wait` or until `done` holds.
  void search(std::chrono::seconds wait, const std::function<bool()>& done);
  // Runs the event loop for at most `wait`, until `done` holds; returns
  // whether it does. A watcher of standard error sees the seconds pass.
  bool runFor(std::chrono::milliseconds wait, const std::function<bool()>& done);

  // Awaits the cameras' answers to these changes for at most `wait`, until
  // each has answered.
  void awaitAnswers(std::span<const pages::PlannedChange> changes, std::chrono::seconds wait);

  pages::CameraPage& page() { return page_; }
  pages::ObservedChannel& channel() { return observed_; }
  pages::MulticastCameraChannel& multicastChannel() { return channel_; }
  TerminalPrompter& prompter() { return prompter_; }
  pages::AddressChecker& checker() { return checker_; }
  EventLoop& loop() { return loop_; }

 private:
  void rowsChanged(const pages::ShownCameraList::Changes&) override {}
  void showProgress(EventLoop::Clock::time_point deadline);
  void clearProgress();

  const Context& context_;
  std::unique_ptr<pages::HostNetwork> network_;
  EventLoop loop_;
  pages::MulticastCameraChannel channel_;
  pages::ObservedChannel observed_;
  TerminalPrompter prompter_;
  pages::LinkAddressChecker checker_;
  pages::CameraPage page_;
  pages::Timer::Handle progressTask_ = 0;
  bool progressShown_ = false;
};

// How long a check of addresses on the link may take before it is given up:
// far more than the link takes to answer.
inline constexpr std::chrono::seconds kLongestAddressCheck{30};

}  // namespace cli
