#include "qt/application.h"

#include <QProcessEnvironment>

#include "pages/startup.h"
#include "qt/main_window.h"
#include "qt/prompter.h"

namespace qtui {

int Application::run(const QString& applicationName) {
  Prompter prompter(messages_, nullptr);
  return pages::runProgram(applicationName.toStdString(), prompter, [this] {
    MainWindow mainWindow(messages_, network_);
    mainWindow.exec();
  });
}

bool displayNamed(const QProcessEnvironment& environment) {
  const auto isSet = [&](const char* name) { return !environment.value(QString::fromLatin1(name)).isEmpty(); };
  return isSet("QT_QPA_PLATFORM") || isSet("DISPLAY") || isSet("WAYLAND_DISPLAY");
}

}  // namespace qtui
