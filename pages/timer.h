// Deferred work on the UI thread, whatever runs its event loop: the pages
// pace their work with it and never wait, and other threads hand their
// results to the UI thread through it.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>

namespace pages {

class Timer {
 public:
  using Task = std::function<void()>;
  using Handle = std::uint64_t;

  virtual ~Timer() = default;
  // Runs `task` once, on the UI thread, `delay` from now (0: once the event
  // loop has handled what waits), unless cancelled first. Handles are never 0.
  virtual Handle runAfter(std::chrono::milliseconds delay, Task task) = 0;
  // Cancelling a task that ran, or was cancelled, does nothing.
  virtual void cancel(Handle task) = 0;
  // From any thread: runs `task` on the UI thread soon, in the order posted.
  // Whoever posts must stop before the timer goes; what is still queued then
  // never runs.
  virtual void post(Task task) = 0;
};

}  // namespace pages
