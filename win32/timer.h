// The pages' timer in Win32: SetTimer on the owner's window, whose WM_TIMER
// hands the id back to run(); a task due at once is a posted message
// instead, which the system does not round up to its timer resolution.
#pragma once

#include <deque>
#include <map>
#include <mutex>

#include "pages/timer.h"
#include "win32/dialog.h"

namespace win32 {

class Timer : public pages::Timer {
 public:
  // Posted with the task's handle for those due at once.
  static constexpr UINT kTaskDue = WM_APP + 2;
  // Posted, from any thread, when tasks were posted.
  static constexpr UINT kTasksPosted = WM_APP + 3;

  explicit Timer(const Dialog& owner) : owner_(owner) {}

  Handle runAfter(std::chrono::milliseconds delay, Task task) override;
  void cancel(Handle task) override;
  void post(Task task) override;
  // The owner's window procedure hands every message here first: true when
  // it was one of the timer's (WM_TIMER, kTaskDue, kTasksPosted), now run.
  bool handle(UINT message, WPARAM wParam);

 private:
  void run(Handle task);
  void runPosted();

  const Dialog& owner_;
  Handle last_ = 0;
  std::map<Handle, Task> pending_;
  std::mutex postedMutex_;
  std::deque<Task> posted_;
};

}  // namespace win32
