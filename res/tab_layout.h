// Where the main window puts its tab control and the page under it, in pixels
// of its client area. Every front-end follows this one rule.
#pragma once

namespace ui::tab_layout {

struct PixelRect {
  int x, y, width, height;
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

}  // namespace ui::tab_layout
