#include "win32/dpi.h"

namespace win32 {
namespace {

// Looked up, not imported: Windows 7 has neither, and would not start a
// program that imports them.
template <typename Function>
Function user32Function(const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

int screenDpi() {
  const HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi;
}

}  // namespace

int dpiOf(HWND window) {
  static const auto dpiForWindow = user32Function<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
  const int dpi = dpiForWindow ? static_cast<int>(dpiForWindow(window)) : 0;
  return dpi > 0 ? dpi : screenDpi();
}

int systemMetricAtDpi(int index, int dpi) {
  static const auto metricForDpi = user32Function<int(WINAPI*)(int, UINT)>("GetSystemMetricsForDpi");
  return metricForDpi ? metricForDpi(index, static_cast<UINT>(dpi)) : GetSystemMetrics(index);
}

void addFrameAtDpi(RECT& rect, DWORD style, DWORD extendedStyle, int dpi) {
  static const auto adjustForDpi = user32Function<BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
  if (!adjustForDpi || !adjustForDpi(&rect, style, FALSE, extendedStyle, static_cast<UINT>(dpi)))
    AdjustWindowRectEx(&rect, style, FALSE, extendedStyle);
}

}  // namespace win32
