#include "pages/startup.h"

#include <cstdio>

#include "discovery/datagram_socket.h"
#include "pages/file_limit.h"
#include "res/strings.h"

namespace pages {

std::string applicationNameOf(std::string_view executablePath) {
  // Either separator, whichever system the path comes from.
  const auto nameStart = executablePath.find_last_of("/\\");
  const auto fileName = nameStart == std::string_view::npos ? executablePath : executablePath.substr(nameStart + 1);
  const auto extension = fileName.find_last_of('.');
  return std::string(extension == std::string_view::npos || extension == 0 ? fileName : fileName.substr(0, extension));
}

std::unique_ptr<HostNetwork> systemNetwork() { return std::make_unique<discovery::SystemNetwork>(); }

int runProgram(const std::string& applicationName, Prompter& prompter, const std::function<void()>& runWindow,
               LockPlaces places) {
  SingleInstanceLock lock(std::move(places));
  if (!lock.acquire(applicationName)) {
    // The first copy is left alone; this one only says why it stops.
    prompter.tell({ui::strings::kAlreadyRunning, applicationName, Icon::Exclamation});
    return kAlreadyRunningExitCode;
  }
  if (!lock.unguardedReason().empty())
    std::fprintf(stderr, "%s: not checking for another copy: %s\n", applicationName.c_str(),
                 lock.unguardedReason().c_str());
  // Before the channel opens a socket for each adapter.
  raiseOpenFileLimit();
  const discovery::SocketLibrary socketLibrary;
  runWindow();
  return kClosedExitCode;
}

}  // namespace pages
