#include "win32/about_box.h"

#include "ui/res/resource_ids.h"

namespace win32 {

void AboutBox::run(HINSTANCE instance, HWND owner) {
  owner_ = owner;
  runModal(instance, ui::ids::kAboutDialog, owner);
}

INT_PTR AboutBox::onMessage(UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      centre(window(), owner_);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(window(), LOWORD(wParam));
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace win32
