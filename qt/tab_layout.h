// The main window's tab control and page rectangles (res/tab_layout.h) as
// Qt rectangles.
#pragma once

class QRect;
class QSize;

namespace ui {

QRect tabControlRectangle(QSize clientSize);
QRect pageRectangle(QSize tabControlSize);

}  // namespace ui
