// The simulator's command line.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>

#include "tools/camera/simulated_cameras.h"

namespace camerasim {

struct SimulatorOptions {
  CameraRange cameras;
  // When set, an accepted address change really moves this interface
  // (see InterfaceMover); it then carries the one camera played.
  std::string moveInterface;
  // When set, datagrams to this port are echoed (see UdpEcho).
  std::optional<std::uint16_t> echoPort;
  // False: address changes are ignored, never answered, as by a camera whose
  // answers are lost.
  bool answerSetIp = true;
};

struct HelpRequested {};

struct OptionsError {
  std::string message;
};

using ParsedOptions = std::variant<SimulatorOptions, HelpRequested, OptionsError>;

// Options: --count N, --mac MAC, --ip A.B.C.D, --gateway A.B.C.D,
// --move-interface NAME, --echo-port PORT, --set-ip answer|ignore, --help. argv[0] is the program's
// name and is skipped. Arguments are read in order: the first bad one is
// reported, --help ends the reading, and a repeated option keeps its last
// value.
ParsedOptions parseOptions(int argc, const char* const* argv);

std::string usageText();

}  // namespace camerasim
