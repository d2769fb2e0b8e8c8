// Qt's own texts (the standard buttons of message boxes, the edit boxes'
// context menus) in Simplified Chinese, like the rest of the interface.
#pragma once

#include <QString>
#include "qt/res_names.h"

class QTranslator;

namespace qtui {

// Where Qt keeps its translations (Debian: qt6-translations-l10n).
QString toolkitTranslationsFolder();

// Installs Qt's Simplified Chinese translation from `folder` into the running
// application, whatever the system's language. Returns the translator, owned
// by the application; null, with nothing installed and nothing said, when the
// translation is not there: Qt's English texts stay.
QTranslator* installToolkitTranslation(const QString& folder = toolkitTranslationsFolder());

}  // namespace qtui
