#include "win32/timer.h"

namespace win32 {

pages::Timer::Handle Timer::runAfter(std::chrono::milliseconds delay, Task task) {
  const Handle handle = ++last_;
  pending_.emplace(handle, std::move(task));
  if (delay.count() <= 0)
    PostMessageW(owner_.window(), kTaskDue, static_cast<WPARAM>(handle), 0);
  else
    SetTimer(owner_.window(), static_cast<UINT_PTR>(handle), static_cast<UINT>(delay.count()), nullptr);
  return handle;
}

void Timer::cancel(Handle task) {
  if (pending_.erase(task) > 0) KillTimer(owner_.window(), static_cast<UINT_PTR>(task));
}

bool Timer::handle(UINT message, WPARAM wParam) {
  if (message == WM_TIMER || message == kTaskDue) {
    run(static_cast<Handle>(wParam));
    return true;
  }
  if (message != kTasksPosted) return false;
  runPosted();
  return true;
}

void Timer::run(Handle task) {
  KillTimer(owner_.window(), static_cast<UINT_PTR>(task));
  const auto found = pending_.find(task);
  if (found == pending_.end()) return;
  const Task due = std::move(found->second);
  pending_.erase(found);
  due();
}

void Timer::post(Task task) {
  bool first;
  {
    std::lock_guard lock(postedMutex_);
    first = posted_.empty();
    posted_.push_back(std::move(task));
  }
  if (first) PostMessageW(owner_.window(), kTasksPosted, 0, 0);
}

void Timer::runPosted() {
  std::deque<Task> due;
  {
    std::lock_guard lock(postedMutex_);
    due.swap(posted_);
  }
  for (const Task& task : due) task();
}

}  // namespace win32
