// The application: one copy per user and executable name, the socket library
// up for the whole run, the main window run modally until it closes.
#pragma once

#include <QString>

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

}  // namespace app
