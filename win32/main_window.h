// The main window: a tab control switching between the camera page and the
// calculator page, a Close button, and the About entry in the system menu.
#pragma once

#include <array>

#include "win32/calc_page.h"
#include "win32/camera_page.h"
#include "win32/dialog.h"

namespace win32 {

class MainWindow : public Dialog {
 public:
  explicit MainWindow(pages::HostNetwork& network) : cameraPage_(network) {}

  // Runs modally until Close or Esc.
  void run(HINSTANCE instance);

 private:
  enum Page { kCameraPage, kCalculatorPage, kPageCount };

  INT_PTR onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void onInit();
  void addAboutEntry();
  void setIcons(int dpi);
  void addTabs();
  // Places the tab control and the pages by the rule of res/tab_layout.h,
  // first growing the window where the rule would clip a page, and keeps the
  // Close button at the bottom right.
  void layOut(int dpi);
  void onDpiChanged(int dpi, const RECT& suggested);
  void showPage(int page);
  void onCommand(WPARAM wParam, LPARAM lParam);
  bool paintMinimised();
  // The page the window holding the keyboard focus lies on, if any.
  HWND pageWithFocus() const;

  HINSTANCE instance_ = nullptr;
  HICON bigIcon_ = nullptr;
  HICON smallIcon_ = nullptr;
  CameraPage cameraPage_;
  CalcPage calcPage_;
  std::array<HWND, kPageCount> pages_{};
};

}  // namespace win32
