#include "win32/application.h"

#include <commctrl.h>

#include <string>

#include "discovery/datagram_socket.h"
#include "discovery/host_network.h"
#include "pages/single_instance.h"
#include "pages/startup.h"
#include "res/strings.h"
#include "win32/main_window.h"
#include "win32/text.h"

namespace win32 {
namespace {

// The executable's path, however long.
std::wstring executablePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

}  // namespace

int runApplication(HINSTANCE instance) {
  const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                      ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES | ICC_INTERNET_CLASSES};
  InitCommonControlsEx(&controls);

  const std::string name = pages::applicationNameOf(toUtf8(executablePath()));
  pages::SingleInstanceLock lock;
  if (!lock.acquire(name)) {
    // The first copy is left alone; this one only says why it stops.
    MessageBoxW(nullptr, fromUtf8(ui::strings::kAlreadyRunning).c_str(), fromUtf8(name).c_str(),
                MB_OK | MB_ICONEXCLAMATION);
    return pages::kAlreadyRunningExitCode;
  }
  const discovery::SocketLibrary socketLibrary;
  discovery::SystemNetwork network;
  MainWindow mainWindow(network);
  mainWindow.run(instance);
  return pages::kClosedExitCode;
}

}  // namespace win32
