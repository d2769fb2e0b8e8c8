// Windows: the console's control handler runs on a thread of its own and
// only sets an event, which the waiting thread sees.
#include "tools/camera/stop_request.h"

#include <windows.h>

namespace camerasim {
namespace {

HANDLE stopEvent = nullptr;

BOOL WINAPI onConsoleControl(DWORD) {
  // Every control event (Ctrl+C, Ctrl+Break, close, log-off, shut-down) stops.
  SetEvent(stopEvent);
  return TRUE;
}

}  // namespace

void prepareForStopRequest() {
  stopEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  SetConsoleCtrlHandler(onConsoleControl, TRUE);
}

void waitForStopRequest() { WaitForSingleObject(stopEvent, INFINITE); }

}  // namespace camerasim
