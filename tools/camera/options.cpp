#include "tools/camera/options.h"

#include <optional>
#include <string_view>

#include "tools/camera/whole_number.h"

namespace camerasim {
namespace {

std::optional<std::size_t> parseCount(std::string_view text) {
  const auto count = parseWholeNumber<std::size_t>(text);
  if (!count || *count < 1 || *count > kMaxCameras) return std::nullopt;
  return count;
}

template <typename Value>
bool assignParsed(Value& target, const std::optional<Value>& parsed) {
  if (parsed) target = *parsed;
  return parsed.has_value();
}

struct ValueOption {
  std::string_view name;
  std::string expected;  // what a valid value looks like, for the error
  bool (*apply)(CameraRange& range, std::string_view value);
};

const ValueOption kValueOptions[] = {
    {"--count", "a whole number from 1 to " + std::to_string(kMaxCameras),
     [](CameraRange& range, std::string_view value) { return assignParsed(range.count, parseCount(value)); }},
    {"--mac", "six hex bytes separated by colons, such as 00:11:22:33:44:55",
     [](CameraRange& range, std::string_view value) { return assignParsed(range.firstMac, parseMac(value)); }},
    {"--ip", "an IPv4 address A.B.C.D",
     [](CameraRange& range, std::string_view value) { return assignParsed(range.firstAddress, parseIpv4(value)); }},
    {"--gateway", "an IPv4 address A.B.C.D",
     [](CameraRange& range, std::string_view value) { return assignParsed(range.gateway, parseIpv4(value)); }},
};

const ValueOption* findOption(std::string_view name) {
  for (const ValueOption& option : kValueOptions)
    if (option.name == name) return &option;
  return nullptr;
}

}  // namespace

ParsedOptions parseOptions(int argc, const char* const* argv) {
  CameraRange range;
  for (int i = 1; i < argc; ++i) {
    const std::string_view name = argv[i];
    if (name == "--help") return HelpRequested{};
    const ValueOption* option = findOption(name);
    if (!option) return OptionsError{"unknown option '" + std::string(name) + "'"};
    if (i + 1 == argc) return OptionsError{"option " + std::string(name) + " needs a value"};
    const std::string_view value = argv[++i];
    if (!option->apply(range, value))
      return OptionsError{"invalid value '" + std::string(value) + "' for " + std::string(name) + ": expected " +
                          option->expected};
  }
  return range;
}

std::string usageText() {
  const CameraRange defaults;
  std::string text =
      "Usage: tovalen-camera [--count N] [--mac MAC] [--ip A.B.C.D] [--gateway A.B.C.D]\n"
      "Plays N network cameras on the discovery multicast group: answers searches and\n"
      "address changes until interrupted (Ctrl+C or SIGTERM).\n\n";
  text += "  --count N          number of cameras, 1 to " + std::to_string(kMaxCameras);
  text += " (default " + std::to_string(defaults.count) + ")\n";
  text += "  --mac MAC          first camera's MAC; the others count up from it\n";
  text += "                     (default " + formatMac(defaults.firstMac) + ")\n";
  text += "  --ip A.B.C.D       first camera's address; the others count up from it\n";
  text += "                     (default " + discovery::formatAddress(defaults.firstAddress) + ")\n";
  text += "  --gateway A.B.C.D  every camera's gateway (default " + discovery::formatAddress(defaults.gateway) + ")\n";
  text += "  --help             show this text\n";
  return text;
}

}  // namespace camerasim
