// How the simulator learns that it should stop: Ctrl+C or SIGTERM on Linux;
// Ctrl+C, Ctrl+Break or the console closing on Windows.
#pragma once

namespace camerasim {

// Call before any thread starts, so that a stop request reaches only
// waitForStopRequest() (on Linux every thread inherits the blocked signals).
void prepareForStopRequest();

// Returns once a stop has been asked for.
void waitForStopRequest();

}  // namespace camerasim
