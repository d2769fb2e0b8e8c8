#include "qt/timer.h"

namespace qtui {

pages::Timer::Handle Timer::runAfter(std::chrono::milliseconds delay, Task task) {
  const Handle handle = ++last_;
  auto timer = std::make_unique<QTimer>();
  timer->setSingleShot(true);
  QObject::connect(timer.get(), &QTimer::timeout, [this, handle] { run(handle); });
  timer->start(delay);
  pending_.emplace(handle, Pending{std::move(timer), std::move(task)});
  return handle;
}

void Timer::cancel(Handle task) { pending_.erase(task); }

void Timer::post(Task task) { QMetaObject::invokeMethod(&context_, std::move(task), Qt::QueuedConnection); }

void Timer::run(Handle handle) {
  const auto found = pending_.find(handle);
  if (found == pending_.end()) return;
  Pending due = std::move(found->second);
  pending_.erase(found);
  // Its own signal is being delivered: the timer goes once that is over.
  due.timer.release()->deleteLater();
  due.task();
}

}  // namespace qtui
