#include "win32/about_box.h"

#include "res/resource_ids.h"
#include "win32/dialog.h"

namespace win32 {
namespace {

class AboutBox : public Dialog {
 public:
  explicit AboutBox(HWND owner) : owner_(owner) {}

  void run(HINSTANCE instance) { runModal(instance, ui::ids::kAboutDialog, owner_); }

 private:
  INT_PTR onMessage(UINT message, WPARAM wParam, LPARAM) override {
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

  HWND owner_;
};

}  // namespace

void showAboutBox(HINSTANCE instance, HWND owner) { AboutBox(owner).run(instance); }

}  // namespace win32
