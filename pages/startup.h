// How the program starts, on every platform: one copy per user and
// executable name (pages/single_instance.h), and the exit statuses.
#pragma once

#include <string>
#include <string_view>

namespace pages {

// The main window was closed.
inline constexpr int kClosedExitCode = 0;
// Another copy runs; this one showed why it stops.
inline constexpr int kAlreadyRunningExitCode = 1;
// No display to open a window on; the program said so in one line.
inline constexpr int kNoDisplayExitCode = 2;

// The executable's file name without its extension: it names the copy, so a
// copy under another file name runs beside this one.
std::string applicationNameOf(std::string_view executablePath);

}  // namespace pages
