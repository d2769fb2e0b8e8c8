// The application: one copy per user and executable name, the socket library
// up for the whole run, the main window run modally until it closes.
#pragma once

#include <QString>

class QProcessEnvironment;

namespace ui {
class MessagePresenter;
}
namespace discovery {
class HostNetwork;
}

namespace app {

class CMainApp {
 public:
  CMainApp(ui::MessagePresenter& messages, discovery::HostNetwork& network) : messages_(messages), network_(network) {}

  // Runs the program under `applicationName` (the executable's file name
  // without extension) and returns the process exit code.
  int run(const QString& applicationName);

 private:
  ui::MessagePresenter& messages_;
  discovery::HostNetwork& network_;
};

// The executable's file name without its extension.
QString applicationNameOf(const QString& executablePath);

// Without a display Qt cannot start and aborts; the program says so in one
// line instead and ends with this status.
inline constexpr int kNoDisplayExitCode = 2;

// Whether the environment names a display: DISPLAY or WAYLAND_DISPLAY. A
// QT_QPA_PLATFORM that is set is the user's choice of platform (offscreen,
// vnc, ...) and is trusted to need none.
bool displayNamed(const QProcessEnvironment& environment);

}  // namespace app
