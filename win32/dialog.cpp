#include "win32/dialog.h"

namespace win32 {

INT_PTR Dialog::runModal(HINSTANCE instance, int templateId, HWND owner) {
  return DialogBoxParamW(instance, MAKEINTRESOURCEW(templateId), owner, procedure, reinterpret_cast<LPARAM>(this));
}

HWND Dialog::createChild(HINSTANCE instance, int templateId, HWND parent) {
  return CreateDialogParamW(instance, MAKEINTRESOURCEW(templateId), parent, procedure, reinterpret_cast<LPARAM>(this));
}

std::wstring Dialog::itemText(int id) const {
  const HWND control = item(id);
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
  return text;
}

INT_PTR CALLBACK Dialog::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* dialog = reinterpret_cast<Dialog*>(lParam);
    dialog->window_ = window;
    SetWindowLongPtrW(window, DWLP_USER, lParam);
  }
  // Messages before WM_INITDIALOG (WM_SETFONT) find no object yet.
  auto* dialog = reinterpret_cast<Dialog*>(GetWindowLongPtrW(window, DWLP_USER));
  return dialog ? dialog->onMessage(message, wParam, lParam) : FALSE;
}

void centre(HWND window, HWND over) {
  RECT area{};
  if (over) GetWindowRect(over, &area);
  else SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  RECT own{};
  GetWindowRect(window, &own);
  const int width = own.right - own.left;
  const int height = own.bottom - own.top;
  SetWindowPos(window, nullptr, area.left + (area.right - area.left - width) / 2,
               area.top + (area.bottom - area.top - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace win32
