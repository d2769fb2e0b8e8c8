// How the program starts, on every platform: one copy per user and
// executable name (pages/single_instance.h), room for a socket per adapter,
// the socket library up for the whole run, and the exit statuses.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "discovery/datagram_socket.h"
#include "discovery/host_network.h"
#include "pages/prompter.h"
#include "pages/single_instance.h"

namespace pages {

using discovery::HostNetwork;

// The main window was closed.
inline constexpr int kClosedExitCode = 0;
// Another copy runs; this one showed why it stops.
inline constexpr int kAlreadyRunningExitCode = 1;
// No display to open a window on; the program said so in one line.
inline constexpr int kNoDisplayExitCode = 2;

// The executable's file name without its extension: it names the copy, so a
// copy under another file name runs beside this one.
std::string applicationNameOf(std::string_view executablePath);

// The socket library, up while one lives: a program that starts without
// runProgram() (the terminal's, which takes no lock) holds one itself.
using discovery::SocketLibrary;

// The machine's own network, as the platform lists it.
std::unique_ptr<HostNetwork> systemNetwork();

// Start-up: when another copy of `applicationName` runs, says so (with the
// application's name as caption) and ends; otherwise raises the limit of open
// files (pages/file_limit.h) and runs `runWindow` with the socket library up,
// and ends when it returns. Returns the exit status.
int runProgram(const std::string& applicationName, Prompter& prompter, const std::function<void()>& runWindow,
               LockPlaces places = lockPlacesOfThisSession());

}  // namespace pages
