#include "qt/dialog_units.h"

#include <QFont>
#include <QFontMetrics>
#include <QRect>
#include <QString>

#include <cstdint>

#include "res/dialog_template.h"

namespace qtui {

namespace {

QString dialogFontFamily() {
  return QStringLiteral("WenQuanYi Micro Hei");  // Debian: fonts-wqy-microhei
}

// At 96 DPI the platform maps 8 pt to 11 px and 9 pt to 12 px: the 9 pt main
// window at 12 px, the 8 pt pages at 11 px, the sizes the templates were drawn
// at. Our face measures a page's template larger than the window's page
// rectangle at 11 px; the main window grows to fit it (qt/tab_rectangles.h)
// rather than the pages shrinking below a readable size.
int dialogFontPixelSize(int pointSize) {
  constexpr int kLayoutDpi = 96;
  constexpr int kPointsPerInch = 72;
  return mulDiv(pointSize, kLayoutDpi, kPointsPerInch);
}

}  // namespace

int mulDiv(int number, int numerator, int denominator) {
  const std::int64_t product = std::int64_t{number} * numerator;
  const std::int64_t half = denominator / 2;
  const bool negative = (product < 0) != (denominator < 0);
  return static_cast<int>(negative ? (product - half) / denominator : (product + half) / denominator);
}

QFont dialogFont(int pointSize) {
  QFont font(dialogFontFamily());
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(dialogFontPixelSize(pointSize));
  return font;
}

BaseUnits baseUnits(const QFont& font) {
  const QFontMetrics metrics(font);
  const int letters = metrics.horizontalAdvance(
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  return {(letters + 26) / 52, metrics.height()};
}

QRect toPixels(const DialogRect& rect, BaseUnits units) {
  return {mulDiv(rect.x, units.x, 4), mulDiv(rect.y, units.y, 8), mulDiv(rect.width, units.x, 4),
          mulDiv(rect.height, units.y, 8)};
}

QSize toPixels(int width, int height, BaseUnits units) {
  return {mulDiv(width, units.x, 4), mulDiv(height, units.y, 8)};
}

}  // namespace qtui
