// Where the main window puts its tab control and the page under it, in pixels
// of its client area. Every front-end follows this one rule.
#pragma once

namespace ui::tab_layout {

struct PixelRect {
  int x, y, width, height;
};

struct PixelSize {
  int width, height;
};

// Inset 20 px from the client area's top left, 30 px from its right and 60 px
// from its bottom, which leaves room for the Close button.
constexpr PixelRect tabControl(int clientWidth, int clientHeight) {
  return {20, 20, clientWidth - 50, clientHeight - 80};
}

// Fixed at (25, 44), just below the tabs; only the size follows the tab
// control. A page is clipped to it.
constexpr PixelRect page(int tabControlWidth, int tabControlHeight) {
  return {25, 44, tabControlWidth - 50, tabControlHeight - 60};
}

// The main window's client size: its template's, grown wherever a page of
// `pageWidth` x `pageHeight` px would not fit its page rectangle, so that no
// page is cut off when the pages' font measures larger than the window's.
// What lies right of or below the tab control moves with the growth.
constexpr PixelSize mainWindowClient(int templateWidth, int templateHeight, int pageWidth, int pageHeight) {
  const PixelRect tabs = tabControl(templateWidth, templateHeight);
  const PixelRect pageArea = page(tabs.width, tabs.height);
  const int growX = pageWidth > pageArea.width ? pageWidth - pageArea.width : 0;
  const int growY = pageHeight > pageArea.height ? pageHeight - pageArea.height : 0;
  return {templateWidth + growX, templateHeight + growY};
}

}  // namespace ui::tab_layout
