// The simulator's command line.
#pragma once

#include <string>
#include <variant>

#include "tools/camera/simulated_cameras.h"

namespace camerasim {

struct HelpRequested {};

struct OptionsError {
  std::string message;
};

using ParsedOptions = std::variant<CameraRange, HelpRequested, OptionsError>;

// Options: --count N, --mac MAC, --ip A.B.C.D, --gateway A.B.C.D, --help.
// argv[0] is the program's name and is skipped. Arguments are read in order:
// the first bad one is reported, --help ends the reading, and a repeated
// option keeps its last value.
ParsedOptions parseOptions(int argc, const char* const* argv);

std::string usageText();

}  // namespace camerasim
