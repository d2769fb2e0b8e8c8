// Puts the About entry where Linux users look for it.
#pragma once

#include <functional>
#include "qt/res_names.h"

class QString;
class QWidget;

namespace qtui {

// The window manager owns the system menu, so the entry stands, after a
// separator, as the last item of the window's context menu, and F1 opens it.
void addAboutEntry(QWidget* window, const QString& text, std::function<void()> openAbout);

}  // namespace qtui
