// The DPI a window is shown at, and what depends on it. Windows 10 tells each
// window its monitor's; older systems have one for the whole screen.
#pragma once

#include <windows.h>

namespace win32 {

inline constexpr int kDefaultDpi = 96;

int dpiOf(HWND window);
// GetSystemMetrics at `dpi`.
int systemMetricAtDpi(int index, int dpi);
// AdjustWindowRectEx at `dpi`: the window rectangle around client area `rect`.
void addFrameAtDpi(RECT& rect, DWORD style, DWORD extendedStyle, int dpi);

}  // namespace win32
