// Dialog units to pixels, the way the platform the templates were drawn for
// converts them, and the font the templates are laid out in.
#pragma once
#include "qt/res_names.h"

class QFont;
class QRect;
class QSize;

namespace qtui {


// Pixels per 4 horizontal and per 8 vertical dialog units.
struct BaseUnits {
  int x;
  int y;
};

// number * numerator / denominator rounded half away from zero, as MulDiv.
int mulDiv(int number, int numerator, int denominator);

// The face and pixel size a template of this point size is laid out in.
QFont dialogFont(int pointSize);

// Horizontal: the average width of the 52 letters A-Z a-z, rounded as the
// platform does; vertical: the font's height.
BaseUnits baseUnits(const QFont& font);

// Each of x, y, width and height is converted on its own, as the platform
// does, so a right edge may differ by a pixel from converting x + width.
QRect toPixels(const DialogRect& rect, BaseUnits units);
QSize toPixels(int width, int height, BaseUnits units);

}  // namespace qtui
