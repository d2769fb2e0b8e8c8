#include "tools/camera/options.h"

#include <optional>
#include <string_view>

#include "tools/camera/interface_mover.h"
#include "tools/camera/udp_echo.h"
#include "tools/camera/whole_number.h"

namespace camerasim {
namespace {

// IF_NAMESIZE of Linux, whose interfaces --move-interface moves: the longest
// name is one less.
constexpr std::size_t kInterfaceNameSize = 16;

std::optional<std::size_t> parseCount(std::string_view text) {
  const auto count = parseWholeNumber<std::size_t>(text);
  if (!count || *count < 1 || *count > kMaxCameras) return std::nullopt;
  return count;
}

std::optional<std::uint16_t> parsePort(std::string_view text) {
  const auto port = parseWholeNumber<std::uint16_t>(text);
  if (!port || *port == 0) return std::nullopt;
  return port;
}

std::optional<std::string> parseInterfaceName(std::string_view text) {
  if (text.empty() || text.size() >= kInterfaceNameSize || text.find_first_of("/ \t\n") != std::string_view::npos)
    return std::nullopt;
  return std::string(text);
}

template <typename Value>
bool assignParsed(Value& target, const std::optional<Value>& parsed) {
  if (parsed) target = *parsed;
  return parsed.has_value();
}

struct ValueOption {
  std::string_view name;
  std::string expected;  // what a valid value looks like, for the error
  bool (*apply)(SimulatorOptions& options, std::string_view value);
};

const ValueOption kValueOptions[] = {
    {"--count", "a whole number from 1 to " + std::to_string(kMaxCameras),
     [](SimulatorOptions& options, std::string_view value) {
       return assignParsed(options.cameras.count, parseCount(value));
     }},
    {"--mac", "six hex bytes separated by colons, such as 00:11:22:33:44:55",
     [](SimulatorOptions& options, std::string_view value) {
       return assignParsed(options.cameras.firstMac, parseMac(value));
     }},
    {"--ip", "an IPv4 address A.B.C.D",
     [](SimulatorOptions& options, std::string_view value) {
       return assignParsed(options.cameras.firstAddress, discovery::parseAddress(value));
     }},
    {"--gateway", "an IPv4 address A.B.C.D",
     [](SimulatorOptions& options, std::string_view value) {
       return assignParsed(options.cameras.gateway, discovery::parseAddress(value));
     }},
    {"--move-interface", "a network interface name",
     [](SimulatorOptions& options, std::string_view value) {
       return assignParsed(options.moveInterface, parseInterfaceName(value));
     }},
    {"--echo-port", "a port number from 1 to 65535",
     [](SimulatorOptions& options, std::string_view value) {
       options.echoPort = parsePort(value);
       return options.echoPort.has_value();
     }},
    {"--set-ip", "answer or ignore",
     [](SimulatorOptions& options, std::string_view value) {
       options.answerSetIp = value == "answer";
       return value == "answer" || value == "ignore";
     }},
};

const ValueOption* findOption(std::string_view name) {
  for (const ValueOption& option : kValueOptions)
    if (option.name == name) return &option;
  return nullptr;
}

}  // namespace

ParsedOptions parseOptions(int argc, const char* const* argv) {
  SimulatorOptions options;
  for (int i = 1; i < argc; ++i) {
    const std::string_view name = argv[i];
    if (name == "--help") return HelpRequested{};
    const ValueOption* option = findOption(name);
    if (!option) return OptionsError{"unknown option '" + std::string(name) + "'"};
    if (i + 1 == argc) return OptionsError{"option " + std::string(name) + " needs a value"};
    const std::string_view value = argv[++i];
    if (!option->apply(options, value))
      return OptionsError{"invalid value '" + std::string(value) + "' for " + std::string(name) + ": expected " +
                          option->expected};
  }
  // One interface has one address to move: it cannot carry several cameras.
  if (!options.moveInterface.empty() && options.cameras.count != 1)
    return OptionsError{"--move-interface plays exactly one camera: use it with --count 1"};
  if (!options.moveInterface.empty() && !InterfaceMover::available())
    return OptionsError{"--move-interface is not available on this system: it moves Linux interfaces only"};
  return options;
}

std::string usageText() {
  const CameraRange defaults;
  std::string text =
      "Usage: tovalen-camera [--count N] [--mac MAC] [--ip A.B.C.D] [--gateway A.B.C.D]\n"
      "                      [--move-interface NAME] [--echo-port PORT] [--set-ip answer|ignore]\n"
      "Plays N network cameras on the discovery multicast group: answers searches and\n"
      "address changes until interrupted (Ctrl+C or SIGTERM).\n\n";
  text += "  --count N          number of cameras, 1 to " + std::to_string(kMaxCameras);
  text += " (default " + std::to_string(defaults.count) + ")\n";
  text += "  --mac MAC          first camera's MAC; the others count up from it\n";
  text += "                     (default " + formatMac(defaults.firstMac) + ")\n";
  text += "  --ip A.B.C.D       first camera's address; the others count up from it\n";
  text += "                     (default " + discovery::formatAddress(defaults.firstAddress) + ")\n";
  text += "  --gateway A.B.C.D  every camera's gateway (default " + discovery::formatAddress(defaults.gateway) + ")\n";
  text += "  --move-interface NAME\n";
  text += "                     apply an address change to interface NAME for real (new\n";
  text += "                     address, same prefix length, new default route) before\n";
  text += "                     answering; a change that cannot be applied is refused.\n";
  text += "                     Needs --count 1 and the right to configure NAME (root);\n";
  text += "                     Linux only\n";
  text += "  --echo-port PORT   send every datagram received on PORT back to its sender,\n";
  text += "                     after the marker '" + std::string(kEchoMarker) + "'; none that starts with\n";
  text += "                     the marker, none from a port below 1024 or from PORT,\n";
  text += "                     and " + std::to_string(AnswerBudget::kAnswersPerSource) + " a second at most to each address\n";
  text += "  --set-ip ignore    take no address change and answer none, as a camera\n";
  text += "                     whose answers are lost (default: answer)\n";
  text += "  --help             show this text\n";
  return text;
}

}  // namespace camerasim
