#include "qt/application.h"

#include <QProcessEnvironment>
#include <cstdio>

#include "discovery/datagram_socket.h"
#include "pages/single_instance.h"
#include "pages/startup.h"
#include "qt/main_window.h"
#include "qt/message_box.h"
#include "res/strings.h"

namespace ui {

int Application::run(const QString& applicationName) {
  pages::SingleInstanceLock lock;
  if (!lock.acquire(applicationName.toStdString())) {
    // The first copy is left alone; this one only says why it stops.
    messages_.show({nullptr, QString::fromUtf8(strings::kAlreadyRunning), applicationName, MessageButtons::Ok,
                    MessageIcon::Exclamation});
    return pages::kAlreadyRunningExitCode;
  }
  if (!lock.unguardedReason().empty())
    std::fprintf(stderr, "%s: not checking for another copy: %s\n", qPrintable(applicationName),
                 lock.unguardedReason().c_str());
  const discovery::SocketLibrary socketLibrary;
  MainWindow mainWindow(messages_, network_);
  mainWindow.exec();
  return pages::kClosedExitCode;
}

bool displayNamed(const QProcessEnvironment& environment) {
  const auto isSet = [&](const char* name) { return !environment.value(QString::fromLatin1(name)).isEmpty(); };
  return isSet("QT_QPA_PLATFORM") || isSet("DISPLAY") || isSet("WAYLAND_DISPLAY");
}

}  // namespace ui
