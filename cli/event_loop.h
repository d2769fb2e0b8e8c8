// The pages' timer on a terminal: the program's one thread runs timed tasks
// and what other threads post, until the work is done or its time is up.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <utility>

#include "pages/timer.h"

namespace cli {

class EventLoop : public pages::Timer {
 public:
  using Clock = std::chrono::steady_clock;

  Handle runAfter(std::chrono::milliseconds delay, Task task) override;
  void cancel(Handle task) override;
  void post(Task task) override;

  // Runs tasks as they fall due until `done()` holds (asked after each task)
  // or `deadline` has passed; returns `done()`.
  bool runUntil(const std::function<bool()>& done, Clock::time_point deadline);

 private:
  // Moves what was posted into `posted`; waits for it until the next timed
  // task or `deadline`, whichever comes first.
  void takePosted(std::deque<Task>& posted, Clock::time_point deadline);
  bool runDueTask();

  Handle last_ = 0;
  // Ordered by when each falls due, then by handle: tasks due at once run in
  // the order they were asked for.
  std::map<std::pair<Clock::time_point, Handle>, Task> timed_;
  std::mutex postedLock_;
  std::condition_variable postedArrived_;
  std::deque<Task> posted_;
};

}  // namespace cli
