// The terminal program's command line: its commands, their arguments and
// options, and the exit codes scripts test.
#pragma once

#include <chrono>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "res/strings.h"

namespace cli {

enum ExitCode : int {
  kExitDone = 0,
  kExitFailed = 1,  // the work failed, or was not confirmed
  kExitUsage = 2,   // bad usage or bad input
};

enum class OutputFormat { kTable, kCsv, kJson };

struct HelpCommand {
  friend bool operator==(const HelpCommand&, const HelpCommand&) = default;
};
struct SearchCommand {
  static constexpr std::chrono::seconds kDefaultWait{3};
  static constexpr std::chrono::seconds kLongestWait{600};
  std::chrono::seconds wait = kDefaultWait;
  OutputFormat format = OutputFormat::kTable;
  friend bool operator==(const SearchCommand&, const SearchCommand&) = default;
};
// How long set and plan await the cameras' answers.
inline constexpr std::chrono::seconds kDefaultAnswerWait{5};

struct SetCommand {
  std::string mac;            // as typed (UTF-8)
  std::uint32_t address = 0;  // the address control's value, first field most significant
  std::uint32_t gateway = 0;
  bool yes = false;
  std::chrono::seconds wait = kDefaultAnswerWait;
  friend bool operator==(const SetCommand&, const SetCommand&) = default;
};
struct PlanCommand {
  std::string file;
  bool dryRun = false;
  bool yes = false;
  std::chrono::seconds wait = kDefaultAnswerWait;
  friend bool operator==(const PlanCommand&, const PlanCommand&) = default;
};
struct CheckCommand {
  std::vector<std::uint32_t> addresses;
  friend bool operator==(const CheckCommand&, const CheckCommand&) = default;
};
struct AdaptersCommand {
  friend bool operator==(const AdaptersCommand&, const AdaptersCommand&) = default;
};
using Command = std::variant<HelpCommand, SearchCommand, SetCommand, PlanCommand, CheckCommand, AdaptersCommand>;

enum class UsageProblem {
  kNoCommand,
  kUnknownCommand,
  kUnknownOption,
  kOptionNotForCommand,
  kMissingValue,
  kBadWait,
  kBadFormat,
  kMissingArgument,
  kExtraArgument,
  kBadAddress,
  kNotHostAddress,
  kEmptyMac,
};
struct UsageError {
  UsageProblem problem;
  std::string argument;  // the argument at fault, when there is one
};

// `arguments`: those after the program's name. --help anywhere before "--"
// asks for the help, whatever else is given; options may come before or
// after the command's arguments, and "--" ends them.
std::variant<Command, UsageError> parseCommandLine(std::span<const std::string_view> arguments);

// "tovalen-cli: PROBLEM: ARGUMENT", then where to read the usage, a line each.
std::string usageMessage(const UsageError& error, const ui::strings::TerminalTexts& texts);

}  // namespace cli
