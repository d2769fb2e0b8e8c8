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
  explicit MainWindow(discovery::HostNetwork& network) : cameraPage_(network) {}

  // Runs modally until Close or Esc.
  void run(HINSTANCE instance);

 private:
  enum Page { kCameraPage, kCalculatorPage, kPageCount };

  INT_PTR onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void onInit();
  void addAboutEntry();
  void setIcons();
  void placeTabsAndPages();
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
