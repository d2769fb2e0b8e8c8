#include "qt/tab_rectangles.h"

#include <QFont>
#include <QRect>
#include <QSize>

#include "qt/dialog_units.h"
#include "res/dialog_templates.h"
#include "res/tab_layout.h"

namespace qtui {
namespace {

QRect toQRect(const tab_layout::PixelRect& rect) { return {rect.x, rect.y, rect.width, rect.height}; }

}  // namespace

QRect tabControlRectangle(QSize clientSize) {
  return toQRect(tab_layout::tabControl(clientSize.width(), clientSize.height()));
}

QRect pageRectangle(QSize tabControlSize) {
  return toQRect(tab_layout::page(tabControlSize.width(), tabControlSize.height()));
}

QSize mainWindowClientSize(QSize templateClientSize) {
  QSize pages;
  for (const DialogTemplate* page : {&cameraPageTemplate(), &calcPageTemplate()})
    pages = pages.expandedTo(toPixels(page->width, page->height, baseUnits(dialogFont(page->pointSize))));
  const auto client = tab_layout::clientFitting({templateClientSize.width(), templateClientSize.height()},
                                                {pages.width(), pages.height()});
  return {client.width, client.height};
}

}  // namespace qtui
