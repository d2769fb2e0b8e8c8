// A dialog made from a resource template, whose messages go to an object:
// the object is handed over with WM_INITDIALOG and kept in the window.
#pragma once

#include <windows.h>

#include <string>

namespace win32 {

class Dialog {
 public:
  Dialog() = default;
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

  HWND window() const { return window_; }

 protected:
  virtual ~Dialog() = default;

  // As a dialog procedure: TRUE when the message was handled.
  virtual INT_PTR onMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;

  // Runs the dialog modally over `owner`; returns EndDialog's result.
  INT_PTR runModal(HINSTANCE instance, int templateId, HWND owner);
  // Creates the dialog as a child of `parent`, hidden unless its template
  // says otherwise.
  HWND createChild(HINSTANCE instance, int templateId, HWND parent);

  HWND item(int id) const { return GetDlgItem(window_, id); }
  std::wstring itemText(int id) const;

 private:
  static INT_PTR CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HWND window_ = nullptr;
};

// Centres `window` on `over`, or on the work area when `over` is null.
void centre(HWND window, HWND over);

}  // namespace win32
