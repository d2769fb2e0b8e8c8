// The main window's tab control and page rectangles (res/tab_layout.h) as
// Qt rectangles.
#pragma once
#include "qt/res_names.h"

class QRect;
class QSize;

namespace qtui {

QRect tabControlRectangle(QSize clientSize);
QRect pageRectangle(QSize tabControlSize);
// The main window's client size for the template size `templateClientSize`,
// grown so that both pages, in their own font, fit the page rectangle.
QSize mainWindowClientSize(QSize templateClientSize);

}  // namespace qtui
