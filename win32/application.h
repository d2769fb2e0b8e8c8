// The program: one copy per user session and executable name, the socket
// library up for the whole run, the main window run modally until it closes.
#pragma once

#include <windows.h>

namespace win32 {

// The exit status: 0 after the main window closed, 1 when another copy runs.
int runApplication(HINSTANCE instance);

}  // namespace win32
