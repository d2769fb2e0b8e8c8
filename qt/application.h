// The application: one copy per user and executable name, the socket library
// up for the whole run, the main window run modally until it closes.
#pragma once

#include <QString>

#include "pages/startup.h"
#include "qt/res_names.h"

class QProcessEnvironment;


namespace qtui {

class MessagePresenter;

class Application {
 public:
  Application(MessagePresenter& messages, pages::HostNetwork& network) : messages_(messages), network_(network) {}

  // Runs the program under `applicationName` (the executable's file name
  // without extension) and returns the process exit code.
  int run(const QString& applicationName);

 private:
  MessagePresenter& messages_;
  pages::HostNetwork& network_;
};

// Whether the environment names a display: DISPLAY or WAYLAND_DISPLAY. A
// QT_QPA_PLATFORM that is set is the user's choice of platform (offscreen,
// vnc, ...) and is trusted to need none. Without a display Qt cannot start
// and aborts; the program says so in one line instead.
bool displayNamed(const QProcessEnvironment& environment);

}  // namespace qtui
