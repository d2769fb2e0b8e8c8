// The disk-size calculator page: bit rate, cameras, hours per day and days to
// keep give the recording space needed in GB and roughly in TB.
#pragma once

#include "win32/dialog.h"

namespace win32 {

class CalcPage : public Dialog {
 public:
  // Creates the page, hidden, as a child of `parent`.
  HWND create(HINSTANCE instance, HWND parent);

 private:
  INT_PTR onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void onInit();
  void calculate();
  bool focusInAnInput() const;
};

}  // namespace win32
