#include "qt/tab_layout.h"

#include <QRect>

#include "res/tab_layout.h"

namespace ui {
namespace {

QRect toQRect(const tab_layout::PixelRect& rect) { return {rect.x, rect.y, rect.width, rect.height}; }

}  // namespace

QRect tabControlRectangle(QSize clientSize) {
  return toQRect(tab_layout::tabControl(clientSize.width(), clientSize.height()));
}

QRect pageRectangle(QSize tabControlSize) {
  return toQRect(tab_layout::page(tabControlSize.width(), tabControlSize.height()));
}

}  // namespace ui
