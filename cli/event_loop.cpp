#include "cli/event_loop.h"

#include <algorithm>
#include <iterator>

namespace cli {

pages::Timer::Handle EventLoop::runAfter(std::chrono::milliseconds delay, Task task) {
  const Handle handle = ++last_;
  timed_.emplace(std::pair{Clock::now() + delay, handle}, std::move(task));
  return handle;
}

void EventLoop::cancel(Handle task) {
  std::erase_if(timed_, [task](const auto& entry) { return entry.first.second == task; });
}

void EventLoop::post(Task task) {
  {
    const std::lock_guard lock(postedLock_);
    posted_.push_back(std::move(task));
  }
  postedArrived_.notify_one();
}

void EventLoop::takePosted(std::deque<Task>& posted, Clock::time_point deadline) {
  if (!timed_.empty()) deadline = std::min(deadline, timed_.begin()->first.first);
  std::unique_lock lock(postedLock_);
  postedArrived_.wait_until(lock, deadline, [this] { return !posted_.empty(); });
  posted.swap(posted_);
}

bool EventLoop::runDueTask() {
  if (timed_.empty() || timed_.begin()->first.first > Clock::now()) return false;
  Task task = std::move(timed_.begin()->second);
  timed_.erase(timed_.begin());
  task();
  return true;
}

bool EventLoop::runUntil(const std::function<bool()>& done, Clock::time_point deadline) {
  std::deque<Task> posted;
  while (!done()) {
    if (posted.empty() && !runDueTask()) {
      if (Clock::now() >= deadline) return false;
      takePosted(posted, deadline);
      continue;
    }
    if (!posted.empty()) {
      Task task = std::move(posted.front());
      posted.pop_front();
      task();
    }
  }
  return true;
}

}  // namespace cli
