#include "qt/app_icon.h"

#include <QIcon>
#include <QString>

// Resources compiled into a static library are registered only on request,
// and Q_INIT_RESOURCE has to be used outside any namespace.
static void registerUiResources() { Q_INIT_RESOURCE(resources); }

namespace qtui {

QIcon appIcon() {
  static const bool registered = (registerUiResources(), true);
  Q_UNUSED(registered);
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64, 128, 256})
    icon.addFile(QStringLiteral(":/icons/tovalen_%1.png").arg(size), QSize(size, size));
  return icon;
}

}  // namespace qtui
