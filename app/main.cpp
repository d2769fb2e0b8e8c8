#include <QApplication>
#include <QProcessEnvironment>
#include <cstdio>

#include "app/main_app.h"
#include "app/toolkit_translation.h"
#include "discovery/host_network.h"
#include "ui/message_box.h"

int main(int, char** argv) {
  // The name the program was started under keys its single-instance lock, so
  // a copy under another file name runs beside this one.
  const QString applicationName = app::applicationNameOf(QString::fromLocal8Bit(argv[0]));
  if (!app::displayNamed(QProcessEnvironment::systemEnvironment())) {
    std::fprintf(stderr, "%s: no display found; set DISPLAY or WAYLAND_DISPLAY\n", qPrintable(applicationName));
    return app::kNoDisplayExitCode;
  }
  // The program takes no arguments: not even the toolkit's own are looked at.
  int toolkitArgc = 1;
  QApplication application(toolkitArgc, argv);
  app::installToolkitTranslation();
  ui::QtMessagePresenter messages;
  discovery::SystemNetwork network;
  return app::CMainApp(messages, network).run(applicationName);
}
