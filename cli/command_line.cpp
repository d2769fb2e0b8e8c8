#include "cli/command_line.h"

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <limits>
#include <optional>

#include "discovery/protocol.h"
#include "pages/addresses.h"

namespace cli {
namespace {

enum Option : unsigned { kWait = 1, kFormat = 2, kYes = 4, kDryRun = 8 };

struct OptionSpelling {
  std::string_view longName;
  std::string_view shortName;
  Option option;
  bool takesValue;
};
constexpr OptionSpelling kOptions[] = {
    {"--wait", "", kWait, true},
    {"--format", "", kFormat, true},
    {"--yes", "-y", kYes, false},
    {"--dry-run", "-n", kDryRun, false},
};

// What each command takes: how many arguments, and which options.
struct CommandShape {
  std::string_view name;
  std::size_t leastArguments;
  std::size_t mostArguments;
  unsigned options;
};
constexpr CommandShape kCommands[] = {
    {"search", 0, 0, kWait | kFormat},
    {"set", 3, 3, kYes | kWait},
    {"plan", 1, 1, kDryRun | kYes | kWait},
    {"check", 1, std::numeric_limits<std::size_t>::max(), 0},
    {"adapters", 0, 0, 0},
};

struct GivenOption {
  Option option;
  std::string_view spelling;
  std::string_view value;
};

struct Words {
  std::vector<std::string_view> positional;
  std::vector<GivenOption> options;
};

bool asksForHelp(std::span<const std::string_view> arguments) {
  const auto end = std::find(arguments.begin(), arguments.end(), "--");
  return std::any_of(arguments.begin(), end, [](std::string_view word) { return word == "-h" || word == "--help"; }) ||
         (!arguments.empty() && arguments.front() == "help");
}

std::variant<Words, UsageError> splitWords(std::span<const std::string_view> arguments) {
  Words words;
  bool optionsEnded = false;
  for (std::size_t at = 0; at < arguments.size(); ++at) {
    const std::string_view word = arguments[at];
    if (optionsEnded || word.size() < 2 || word.front() != '-') {
      words.positional.push_back(word);
      continue;
    }
    if (word == "--") {
      optionsEnded = true;
      continue;
    }
    const std::string_view name = word.substr(0, word.find('='));
    const auto spelling = std::find_if(std::begin(kOptions), std::end(kOptions), [&](const OptionSpelling& option) {
      return name == option.longName || name == option.shortName;
    });
    if (spelling == std::end(kOptions) || (!spelling->takesValue && name.size() != word.size())) {
      return UsageError{UsageProblem::kUnknownOption, std::string(word)};
    }
    std::string_view value;
    if (spelling->takesValue && name.size() < word.size()) {
      value = word.substr(name.size() + 1);
    } else if (spelling->takesValue) {
      if (at + 1 == arguments.size()) return UsageError{UsageProblem::kMissingValue, std::string(word)};
      value = arguments[++at];
    }
    words.options.push_back({spelling->option, name, value});
  }
  return words;
}

std::optional<std::chrono::seconds> waitOf(std::string_view text) {
  if (text.empty() || text.size() > 3 || text.find_first_not_of("0123456789") != std::string_view::npos) {
    return std::nullopt;
  }
  const std::chrono::seconds wait{std::stoi(std::string(text))};
  if (wait < std::chrono::seconds{1} || wait > SearchCommand::kLongestWait) return std::nullopt;
  return wait;
}

std::optional<OutputFormat> formatOf(std::string_view text) {
  if (text == "table") return OutputFormat::kTable;
  if (text == "csv") return OutputFormat::kCsv;
  if (text == "json") return OutputFormat::kJson;
  return std::nullopt;
}

// A camera's new address or gateway, or an address to check.
std::variant<std::uint32_t, UsageError> hostAddressOf(std::string_view text) {
  const auto bytes = discovery::parseAddress(text);
  if (!bytes) return UsageError{UsageProblem::kBadAddress, std::string(text)};
  const std::uint32_t address = discovery::toFieldsValue(*bytes);
  if (!pages::canBeHostAddress(address)) return UsageError{UsageProblem::kNotHostAddress, std::string(text)};
  return address;
}

class CommandBuilder {
 public:
  explicit CommandBuilder(const Words& words) : words_(words) {}

  std::variant<Command, UsageError> build(std::string_view name) {
    if (name == "search") return search();
    if (name == "set") return set();
    if (name == "plan") return plan();
    if (name == "check") return check();
    return AdaptersCommand{};
  }

 private:
  const Words& words_;

  bool given(Option option) const {
    return std::any_of(words_.options.begin(), words_.options.end(),
                       [option](const GivenOption& given) { return given.option == option; });
  }

  // The last --wait given, or `wait` when there is none.
  std::optional<UsageError> readWait(std::chrono::seconds& wait) const {
    for (const GivenOption& given : words_.options) {
      if (given.option != kWait) continue;
      const auto read = waitOf(given.value);
      if (!read) return UsageError{UsageProblem::kBadWait, std::string(given.value)};
      wait = *read;
    }
    return std::nullopt;
  }

  std::variant<Command, UsageError> search() const {
    SearchCommand command;
    if (const auto error = readWait(command.wait)) return *error;
    for (const GivenOption& given : words_.options) {
      if (given.option != kFormat) continue;
      const auto format = formatOf(given.value);
      if (!format) return UsageError{UsageProblem::kBadFormat, std::string(given.value)};
      command.format = *format;
    }
    return command;
  }

  std::variant<Command, UsageError> plan() const {
    PlanCommand command{std::string(words_.positional[1]), given(kDryRun), given(kYes)};
    if (const auto error = readWait(command.wait)) return *error;
    return command;
  }

  std::variant<Command, UsageError> set() const {
    SetCommand command{std::string(words_.positional[1]), 0, 0, given(kYes)};
    if (command.mac.empty()) return UsageError{UsageProblem::kEmptyMac, ""};
    if (const auto error = readWait(command.wait)) return *error;
    for (const auto& [text, value] : {std::pair{words_.positional[2], &command.address},
                                      std::pair{words_.positional[3], &command.gateway}}) {
      const auto address = hostAddressOf(text);
      if (const auto* error = std::get_if<UsageError>(&address)) return *error;
      *value = std::get<std::uint32_t>(address);
    }
    return command;
  }

  std::variant<Command, UsageError> check() const {
    CheckCommand command;
    for (std::size_t at = 1; at < words_.positional.size(); ++at) {
      const auto address = hostAddressOf(words_.positional[at]);
      if (const auto* error = std::get_if<UsageError>(&address)) return *error;
      command.addresses.push_back(std::get<std::uint32_t>(address));
    }
    return command;
  }
};

}  // namespace

std::variant<Command, UsageError> parseCommandLine(std::span<const std::string_view> arguments) {
  if (asksForHelp(arguments)) return HelpCommand{};
  auto split = splitWords(arguments);
  if (const auto* error = std::get_if<UsageError>(&split)) return *error;
  const Words& words = std::get<Words>(split);
  if (words.positional.empty()) return UsageError{UsageProblem::kNoCommand, ""};

  const std::string_view name = words.positional.front();
  const auto shape = std::find_if(std::begin(kCommands), std::end(kCommands),
                                 [name](const CommandShape& command) { return command.name == name; });
  if (shape == std::end(kCommands)) return UsageError{UsageProblem::kUnknownCommand, std::string(name)};
  for (const GivenOption& given : words.options) {
    if ((shape->options & given.option) == 0) {
      return UsageError{UsageProblem::kOptionNotForCommand, std::string(given.spelling)};
    }
  }
  const std::size_t argumentCount = words.positional.size() - 1;
  if (argumentCount < shape->leastArguments) return UsageError{UsageProblem::kMissingArgument, std::string(name)};
  if (argumentCount > shape->mostArguments) {
    return UsageError{UsageProblem::kExtraArgument, std::string(words.positional[shape->mostArguments + 1])};
  }
  return CommandBuilder(words).build(name);
}

std::string usageMessage(const UsageError& error, const ui::strings::TerminalTexts& texts) {
  const char* const problems[] = {
      texts.noCommand,   texts.unknownCommand,  texts.unknownOption, texts.optionNotForCommand,
      texts.missingValue, texts.badWait,        texts.badFormat,     texts.missingArgument,
      texts.extraArgument, texts.badAddress,    texts.notHostAddress, texts.emptyMac,
  };
  static_assert(std::size(problems) == static_cast<std::size_t>(UsageProblem::kEmptyMac) + 1);
  std::string message = std::string("tovalen-cli: ") + problems[static_cast<std::size_t>(error.problem)];
  if (!error.argument.empty()) message += ": " + error.argument;
  return message + "\n" + texts.seeHelp + "\n";
}

}  // namespace cli
