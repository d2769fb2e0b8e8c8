// The pages' timer in Qt: a single-shot QTimer for each task. The tasks go
// with the timer object, so none runs after its page has gone.
#pragma once

#include <QObject>
#include <QTimer>
#include <map>
#include <memory>

#include "pages/timer.h"
#include "qt/res_names.h"

namespace qtui {

class Timer : public pages::Timer {
 public:
  Handle runAfter(std::chrono::milliseconds delay, Task task) override;
  void cancel(Handle task) override;
  void post(Task task) override;

 private:
  struct Pending {
    std::unique_ptr<QTimer> timer;
    Task task;
  };
  void run(Handle handle);

  Handle last_ = 0;
  std::map<Handle, Pending> pending_;
  // Posted calls queued for it are dropped when it goes.
  QObject context_;
};

}  // namespace qtui
