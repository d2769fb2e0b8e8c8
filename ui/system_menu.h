// Puts the About entry where users of the platform look for it.
#pragma once

#include <functional>

class QString;
class QWidget;

namespace ui {

// Windows: appended, after a separator, to the window's system menu.
// Elsewhere the window manager owns that menu, so the entry stands, after a
// separator, as the last item of the window's context menu, and F1 opens it.
void addAboutEntry(QWidget* window, const QString& text, std::function<void()> openAbout);

}  // namespace ui
