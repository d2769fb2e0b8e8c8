#include "app/main_app.h"

#include <QFileInfo>
#include <QProcessEnvironment>
#include <cstdio>

#include "app/single_instance.h"
#include "discovery/datagram_socket.h"
#include "ui/main_dlg.h"
#include "ui/message_box.h"
#include "ui/res/strings.h"

namespace app {
namespace {
constexpr int kAlreadyRunningExitCode = 1;
}

int CMainApp::run(const QString& applicationName) {
  SingleInstanceLock lock(lockPlacesOfThisSession());
  if (!lock.acquire(applicationName.toStdString())) {
    // The first copy is left alone; this one only says why it stops.
    messages_.show({nullptr, QString::fromUtf8(ui::strings::kAlreadyRunning), applicationName, ui::MessageButtons::Ok,
                    ui::MessageIcon::Exclamation});
    return kAlreadyRunningExitCode;
  }
  if (!lock.unguardedReason().empty())
    std::fprintf(stderr, "%s: not checking for another copy: %s\n", qPrintable(applicationName),
                 lock.unguardedReason().c_str());
  const discovery::SocketLibrary socketLibrary;
  ui::CMainDlg mainWindow(messages_, network_);
  mainWindow.exec();
  return 0;
}

QString applicationNameOf(const QString& executablePath) { return QFileInfo(executablePath).completeBaseName(); }

bool displayNamed(const QProcessEnvironment& environment) {
  const auto isSet = [&](const char* name) { return !environment.value(QString::fromLatin1(name)).isEmpty(); };
  return isSet("QT_QPA_PLATFORM") || isSet("DISPLAY") || isSet("WAYLAND_DISPLAY");
}

}  // namespace app
