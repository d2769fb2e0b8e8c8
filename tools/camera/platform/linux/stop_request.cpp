// Linux: SIGINT and SIGTERM are blocked in every thread and taken by sigwait.
#include "tools/camera/stop_request.h"

#include <pthread.h>
#include <signal.h>

namespace camerasim {
namespace {

sigset_t stopSignals() {
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  return signals;
}

}  // namespace

void prepareForStopRequest() {
  const sigset_t signals = stopSignals();
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
}

void waitForStopRequest() {
  const sigset_t signals = stopSignals();
  int received = 0;
  sigwait(&signals, &received);
}

}  // namespace camerasim
