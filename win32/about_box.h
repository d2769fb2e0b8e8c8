// The About box: the icon, the program's name and version, one line on what
// it does, and OK.
#pragma once

#include <windows.h>

namespace win32 {

// Runs the About box modally, centred on `owner`.
void showAboutBox(HINSTANCE instance, HWND owner);

}  // namespace win32
