#include "qt/session_bus.h"

#include <QFile>
#include <QtGlobal>

#include <sys/stat.h>

namespace qtui {

namespace {

bool isSocket(const QString& path) {
  struct stat status {};
  return stat(QFile::encodeName(path).constData(), &status) == 0 && S_ISSOCK(status.st_mode);
}

}  // namespace

void forgoSessionBusWhereNoneRuns() {
  if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) return;
  const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
  if (!runtime.isEmpty() && isSocket(runtime + QStringLiteral("/bus"))) return;
  qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");
}

}  // namespace qtui
