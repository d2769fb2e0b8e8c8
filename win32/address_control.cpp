#include "win32/address_control.h"

#include <commctrl.h>

#include "pages/addresses.h"

namespace win32 {

void showAddress(HWND control, std::string_view dotted) {
  // Windows' address control parses a window text; Wine's keeps it as plain
  // text. Its fields are set from the value instead, which both take.
  if (const auto address = pages::listedAddressOf(dotted))
    SendMessageW(control, IPM_SETADDRESS, 0, static_cast<LPARAM>(*address));
  else
    SendMessageW(control, IPM_CLEARADDRESS, 0, 0);
}

std::uint32_t addressOf(HWND control) {
  DWORD value = 0;
  SendMessageW(control, IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&value));
  return value;
}

}  // namespace win32
