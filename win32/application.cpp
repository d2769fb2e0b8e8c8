#include "win32/application.h"

#include <commctrl.h>

#include <filesystem>
#include <string>

#include "discovery/datagram_socket.h"
#include "discovery/host_network.h"
#include "ui/res/strings.h"
#include "win32/main_window.h"
#include "win32/text.h"

namespace win32 {
namespace {

constexpr int kAlreadyRunningExitCode = 1;

// The executable's file name without its extension: a copy under another
// name runs beside this one.
std::wstring applicationName() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  return std::filesystem::path(path).stem().wstring();
}

// Whether another copy holds the session's mutex of this name. Any failure
// to tell counts as being the first copy. The handle stays open for the
// whole run; the system closes it with the process.
bool anotherCopyRuns(const std::wstring& name) {
  const HANDLE mutex = CreateMutexW(nullptr, FALSE, name.c_str());
  const bool exists = GetLastError() == ERROR_ALREADY_EXISTS;
  if (exists && mutex) CloseHandle(mutex);
  return exists;
}

}  // namespace

int runApplication(HINSTANCE instance) {
  const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                      ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES | ICC_INTERNET_CLASSES};
  InitCommonControlsEx(&controls);

  const std::wstring name = applicationName();
  if (anotherCopyRuns(name)) {
    // The first copy is left alone; this one only says why it stops.
    MessageBoxW(nullptr, fromUtf8(ui::strings::kAlreadyRunning).c_str(), name.c_str(), MB_OK | MB_ICONEXCLAMATION);
    return kAlreadyRunningExitCode;
  }
  const discovery::SocketLibrary socketLibrary;
  discovery::SystemNetwork network;
  MainWindow mainWindow(network);
  mainWindow.run(instance);
  return 0;
}

}  // namespace win32
