// The About box: the icon, the program's name and version, one line on what
// it does, and OK.
#pragma once

#include "win32/dialog.h"

namespace win32 {

class AboutBox : public Dialog {
 public:
  // Modal, centred on `owner`.
  void run(HINSTANCE instance, HWND owner);

 private:
  INT_PTR onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  HWND owner_ = nullptr;
};

}  // namespace win32
