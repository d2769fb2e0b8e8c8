#include "ui/tab_layout.h"

#include <QRect>

namespace ui {

QRect tabControlRectangle(QSize clientSize) {
  return {20, 20, clientSize.width() - 50, clientSize.height() - 80};
}

QRect pageRectangle(QSize tabControlSize) {
  return {25, 44, tabControlSize.width() - 50, tabControlSize.height() - 60};
}

}  // namespace ui
