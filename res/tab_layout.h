// Where the main window puts its tab control and the page under it, in pixels
// of its client area. Every front-end follows this one rule.
#pragma once

#include <algorithm>

namespace ui::tab_layout {

struct PixelRect {
  int x, y, width, height;
};

struct PixelSize {
  int width, height;
};

// The rule's own numbers are pixels at 96 DPI; at another DPI each is scaled,
// as the window's fonts are.
inline constexpr int kRuleDpi = 96;
constexpr int scaled(int pixels, int dpi) { return (pixels * dpi + kRuleDpi / 2) / kRuleDpi; }

// Inset 20 px from the client area's top left, 30 px from its right and 60 px
// from its bottom, which leaves room for the Close button.
constexpr PixelRect tabControl(int clientWidth, int clientHeight, int dpi = kRuleDpi) {
  return {scaled(20, dpi), scaled(20, dpi), clientWidth - scaled(50, dpi), clientHeight - scaled(80, dpi)};
}

// Fixed at (25, 44), just below the tabs; only the size follows the tab
// control. A page is clipped to it.
constexpr PixelRect page(int tabControlWidth, int tabControlHeight, int dpi = kRuleDpi) {
  return {scaled(25, dpi), scaled(44, dpi), tabControlWidth - scaled(50, dpi), tabControlHeight - scaled(60, dpi)};
}

// The client area in which the rule gives a page at least `pageSize`: the
// window's own, `client`, grown where it is too small. The pages are measured
// in their own font, the window in another, so a face whose letters are wide
// for their height would otherwise clip the pages.
constexpr PixelSize clientFitting(PixelSize client, PixelSize pageSize, int dpi = kRuleDpi) {
  const PixelRect tabsOfNothing = tabControl(0, 0, dpi);
  const PixelRect pageOfNothing = page(tabsOfNothing.width, tabsOfNothing.height, dpi);
  return {std::max(client.width, pageSize.width - pageOfNothing.width),
          std::max(client.height, pageSize.height - pageOfNothing.height)};
}

}  // namespace ui::tab_layout
