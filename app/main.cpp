#include <QApplication>

#include "app/main_app.h"
#include "app/toolkit_translation.h"
#include "ui/message_box.h"

int main(int, char** argv) {
  // The program takes no arguments: not even the toolkit's own are looked at.
  int toolkitArgc = 1;
  QApplication application(toolkitArgc, argv);
  app::installToolkitTranslation();
  ui::QtMessagePresenter messages;
  // The name the program was started under keys its single-instance lock, so
  // a copy under another file name runs beside this one.
  return app::CMainApp(messages).run(app::applicationNameOf(QString::fromLocal8Bit(argv[0])));
}
