// The system's IPv4 address control, set and read by value.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string_view>

namespace win32 {

// Fills the fields from dotted text; a text that is no address leaves them blank.
void showAddress(HWND control, std::string_view dotted);
// The first field most significant; 0 while blank.
std::uint32_t addressOf(HWND control);

}  // namespace win32
