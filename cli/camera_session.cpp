#include "cli/camera_session.h"

#include <algorithm>
#include <string>

#include "cli/console.h"
#include "cli/gbk.h"
#include "pages/startup.h"

namespace cli {

CameraSession::CameraSession(const Context& context, bool yes)
    : context_(context),
      network_(pages::systemNetwork()),
      channel_(*network_, [this] { loop_.post([this] { page_.recordsArrived(); }); }),
      observed_(channel_),
      prompter_(context.terminal, context.texts, yes),
      checker_(*network_, loop_),
      page_({observed_, prompter_, loop_, checker_, *network_, gbkToUtf8}, *this) {
  prompter_.beforeSpeaking([this] { clearProgress(); });
}

bool CameraSession::open() {
  if (page_.open()) return true;
  context_.terminal.tell(std::string("tovalen-cli: ") + context_.texts.cannotOpenNetwork + ": " +
                         channel_.openError() + "\n");
  return false;
}

void CameraSession::search(std::chrono::seconds wait, const std::function<bool()>& done) {
  page_.search();
  runFor(wait, done);
}

bool CameraSession::runFor(std::chrono::milliseconds wait, const std::function<bool()>& done) {
  const auto deadline = EventLoop::Clock::now() + wait;
  const bool watched = errorIsTerminal();
  if (watched) showProgress(deadline);
  const bool held = loop_.runUntil(done, deadline);
  loop_.cancel(progressTask_);
  clearProgress();
  return held;
}

void CameraSession::awaitAnswers(std::span<const pages::PlannedChange> changes, std::chrono::seconds wait) {
  const auto answered = [&] {
    return std::all_of(changes.begin(), changes.end(), [&](const pages::PlannedChange& change) {
      return observed_.answeredSetIp(change.mac);
    });
  };
  runFor(wait, answered);
  // An answer is seen as the page takes it; what it took with it is applied
  // to the list by slices already due.
  loop_.runUntil([] { return false; }, EventLoop::Clock::now());
}

void CameraSession::clearProgress() {
  if (!progressShown_) return;
  context_.terminal.tell("\r\x1b[K");
  progressShown_ = false;
}

void CameraSession::showProgress(EventLoop::Clock::time_point deadline) {
  using std::chrono::seconds;
  const auto left = std::chrono::ceil<seconds>(deadline - EventLoop::Clock::now());
  context_.terminal.tell("\r" + std::string(context_.texts.waiting) + " " + std::to_string(left.count()) + " s ");
  progressShown_ = true;
  progressTask_ = loop_.runAfter(seconds{1}, [this, deadline] { showProgress(deadline); });
}

}  // namespace cli
