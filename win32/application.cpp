#include "win32/application.h"

#include <commctrl.h>

#include <string>

#include "pages/startup.h"
#include "win32/main_window.h"
#include "win32/prompter.h"
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

  Prompter prompter(nullptr);
  return pages::runProgram(pages::applicationNameOf(toUtf8(executablePath())), prompter, [instance] {
    const auto network = pages::systemNetwork();
    MainWindow mainWindow(*network);
    mainWindow.run(instance);
  });
}

}  // namespace win32
