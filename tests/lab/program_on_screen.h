// The real program, started as a process of its own on a screen that the test
// sees and types on (Qt's VNC platform on the PC's loopback).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "lab/program_process.h"
#include "lab/vnc_screen.h"

namespace labtest {

inline constexpr auto kProgramDeadline = std::chrono::seconds(20);

// The program under test, from $TOVALEN_PROGRAM.
std::string programPath();

class ProgramOnScreen {
 public:
  // `runtimeDirectory` stands for the user's session directory, where the
  // single-instance lock lives: copies sharing it see each other.
  ProgramOnScreen(const std::string& path, std::uint16_t screenPort, const std::string& runtimeDirectory);

  // Connects to the screen and waits for the first window on it; empty, with
  // the reason in error(), if none comes in time.
  std::optional<PaintedArea> awaitWindow();
  const std::string& error() const { return screen.error(); }

  ProgramProcess process;
  VncScreen screen;

 private:
  std::uint16_t screenPort_;
};

// A directory of its own, removed with what it holds at the end.
class TemporaryDirectory {
 public:
  TemporaryDirectory();
  ~TemporaryDirectory();
  TemporaryDirectory(const TemporaryDirectory&) = delete;
  TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace labtest
