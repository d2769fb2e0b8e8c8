// Where the main window puts its tab control and the page under it, in pixels.
#pragma once

class QRect;
class QSize;

namespace ui {

// Inset 20 px from the client area's top left, 30 px from its right and 60 px
// from its bottom, which leaves room for the Close button.
QRect tabControlRectangle(QSize clientSize);

// In the main window's client coordinates: fixed at (25, 44), just below the
// tabs; only the size follows the tab control. A page is clipped to it.
QRect pageRectangle(QSize tabControlSize);

}  // namespace ui
