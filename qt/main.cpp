#include <QApplication>
#include <QProcessEnvironment>
#include <cstdio>

#include "pages/startup.h"
#include "qt/application.h"
#include "qt/message_box.h"
#include "qt/session_bus.h"
#include "qt/toolkit_translation.h"

int main(int, char** argv) {
  const QString applicationName = QString::fromStdString(pages::applicationNameOf(argv[0]));
  if (!qtui::displayNamed(QProcessEnvironment::systemEnvironment())) {
    std::fprintf(stderr, "%s: no display found; set DISPLAY or WAYLAND_DISPLAY\n", qPrintable(applicationName));
    return pages::kNoDisplayExitCode;
  }
  qtui::forgoSessionBusWhereNoneRuns();
  // The program takes no arguments: not even the toolkit's own are looked at.
  int toolkitArgc = 1;
  QApplication application(toolkitArgc, argv);
  qtui::installToolkitTranslation();
  qtui::QtMessagePresenter messages;
  const auto network = pages::systemNetwork();
  return qtui::Application(messages, *network).run(applicationName);
}
