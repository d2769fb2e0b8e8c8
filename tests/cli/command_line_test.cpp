// The terminal program's command line: what each command takes, and every
// usage that must end with exit code 2 and a message naming what is wrong.
#include "cli/command_line.h"

#include <gmock/gmock.h>

#include <initializer_list>
#include <set>

namespace cli {
namespace {

using namespace std::chrono_literals;

std::variant<Command, UsageError> parse(std::initializer_list<std::string_view> arguments) {
  return parseCommandLine(std::span<const std::string_view>(arguments.begin(), arguments.size()));
}

constexpr std::uint32_t kCameraAddress = 0x0A000005;  // 10.0.0.5
constexpr std::uint32_t kGateway = 0x0A000001;        // 10.0.0.1

TEST(CommandLineTest, ReadsEachCommandWithItsArgumentsAndOptionsInAnyOrder) {
  const struct {
    std::initializer_list<std::string_view> arguments;
    Command command;
  } cases[] = {
      {{"search"}, SearchCommand{}},
      {{"search", "--wait", "10", "--format", "json"}, SearchCommand{10s, OutputFormat::kJson}},
      {{"--format=csv", "search", "--wait=600"}, SearchCommand{600s, OutputFormat::kCsv}},
      {{"search", "--wait", "1", "--wait", "2"}, SearchCommand{2s, OutputFormat::kTable}},
      {{"set", "AA:BB", "10.0.0.5", "10.0.0.1"}, SetCommand{"AA:BB", kCameraAddress, kGateway, false}},
      {{"set", "-y", "大门", "10.0.0.5", "10.0.0.1"}, SetCommand{"大门", kCameraAddress, kGateway, true}},
      {{"set", "--yes", "--", "-AA", "10.0.0.5", "10.0.0.1"}, SetCommand{"-AA", kCameraAddress, kGateway, true}},
      {{"plan", "site.csv"}, PlanCommand{"site.csv", false, false}},
      {{"plan", "site.csv", "--dry-run", "--yes"}, PlanCommand{"site.csv", true, true}},
      {{"plan", "-n", "--", "--yes"}, PlanCommand{"--yes", true, false}},
      {{"set", "AA", "10.0.0.5", "10.0.0.1", "--wait", "9"}, SetCommand{"AA", kCameraAddress, kGateway, false, 9s}},
      {{"plan", "site.csv", "--wait=20"}, PlanCommand{"site.csv", false, false, 20s}},
      {{"check", "10.0.0.5", "10.0.0.1"}, CheckCommand{{kCameraAddress, kGateway}}},
      {{"adapters"}, AdaptersCommand{}},
      {{"--help"}, HelpCommand{}},
      {{"help"}, HelpCommand{}},
      {{"set", "AA", "-h"}, HelpCommand{}},
      {{"bogus", "--nonsense", "--help"}, HelpCommand{}},
  };
  for (const auto& c : cases) {
    const auto parsed = parse(c.arguments);
    const Command* command = std::get_if<Command>(&parsed);
    ASSERT_NE(command, nullptr) << *c.arguments.begin();
    EXPECT_EQ(*command, c.command) << *c.arguments.begin() << " with " << c.arguments.size() << " arguments";
  }
}

TEST(CommandLineTest, NamesWhatIsWrongWithABadUsage) {
  const struct {
    std::initializer_list<std::string_view> arguments;
    UsageProblem problem;
    std::string argument;
  } cases[] = {
      {{}, UsageProblem::kNoCommand, ""},
      {{"--yes"}, UsageProblem::kNoCommand, ""},
      {{"serch"}, UsageProblem::kUnknownCommand, "serch"},
      {{"search", "--colour"}, UsageProblem::kUnknownOption, "--colour"},
      {{"search", "-x"}, UsageProblem::kUnknownOption, "-x"},
      {{"plan", "f.csv", "--yes=no"}, UsageProblem::kUnknownOption, "--yes=no"},
      {{"search", "--yes"}, UsageProblem::kOptionNotForCommand, "--yes"},
      {{"set", "AA", "10.0.0.5", "10.0.0.1", "--format", "csv"}, UsageProblem::kOptionNotForCommand, "--format"},
      {{"plan", "site.csv", "--wait", "0"}, UsageProblem::kBadWait, "0"},
      {{"check", "-n", "10.0.0.5"}, UsageProblem::kOptionNotForCommand, "-n"},
      {{"search", "--wait"}, UsageProblem::kMissingValue, "--wait"},
      {{"search", "--wait", "0"}, UsageProblem::kBadWait, "0"},
      {{"search", "--wait", "601"}, UsageProblem::kBadWait, "601"},
      {{"search", "--wait", "-1"}, UsageProblem::kBadWait, "-1"},
      {{"search", "--wait=99999999999999999999"}, UsageProblem::kBadWait, "99999999999999999999"},
      {{"search", "--wait", "2.5"}, UsageProblem::kBadWait, "2.5"},
      {{"search", "--format", "xml"}, UsageProblem::kBadFormat, "xml"},
      {{"search", "--format="}, UsageProblem::kBadFormat, ""},
      {{"search", "now"}, UsageProblem::kExtraArgument, "now"},
      {{"set", "AA", "10.0.0.5"}, UsageProblem::kMissingArgument, "set"},
      {{"set", "AA", "10.0.0.5", "10.0.0.1", "extra"}, UsageProblem::kExtraArgument, "extra"},
      {{"set", "", "10.0.0.5", "10.0.0.1"}, UsageProblem::kEmptyMac, ""},
      {{"set", "AA", "10.0.0", "10.0.0.1"}, UsageProblem::kBadAddress, "10.0.0"},
      {{"set", "AA", "10.0.0.5", "10.0.0.256"}, UsageProblem::kBadAddress, "10.0.0.256"},
      {{"set", "AA", "255.255.255.255", "10.0.0.1"}, UsageProblem::kNotHostAddress, "255.255.255.255"},
      {{"set", "AA", "10.0.0.5", "0.0.0.0"}, UsageProblem::kNotHostAddress, "0.0.0.0"},
      {{"plan"}, UsageProblem::kMissingArgument, "plan"},
      {{"plan", "a.csv", "b.csv"}, UsageProblem::kExtraArgument, "b.csv"},
      {{"check"}, UsageProblem::kMissingArgument, "check"},
      {{"check", "10.0.0.5", "camera"}, UsageProblem::kBadAddress, "camera"},
      {{"check", "127.0.0.1"}, UsageProblem::kNotHostAddress, "127.0.0.1"},
      {{"adapters", "eth0"}, UsageProblem::kExtraArgument, "eth0"},
  };
  for (const auto& c : cases) {
    const auto parsed = parse(c.arguments);
    const UsageError* error = std::get_if<UsageError>(&parsed);
    ASSERT_NE(error, nullptr) << c.argument;
    EXPECT_EQ(error->problem, c.problem) << c.argument;
    EXPECT_EQ(error->argument, c.argument);
  }
}

TEST(CommandLineTest, AUsageMessageNamesTheProblemAndTheArgumentInTheUsersLanguage) {
  const UsageError error{UsageProblem::kBadFormat, "xml"};
  EXPECT_EQ(usageMessage(error, ui::strings::kTerminalEnglish),
            "tovalen-cli: not one of table, csv, json: xml\nTry 'tovalen-cli --help'.\n");
  EXPECT_EQ(usageMessage(error, ui::strings::kTerminalChinese),
            "tovalen-cli: 不是 table、csv、json 之一: xml\n请运行 'tovalen-cli --help' 查看用法。\n");
  EXPECT_EQ(usageMessage({UsageProblem::kNoCommand, ""}, ui::strings::kTerminalEnglish),
            "tovalen-cli: no command given\nTry 'tovalen-cli --help'.\n");
}

// Every problem has a message of its own in both languages.
TEST(CommandLineTest, EachUsageProblemHasItsOwnMessage) {
  for (const auto* texts : {&ui::strings::kTerminalEnglish, &ui::strings::kTerminalChinese}) {
    std::set<std::string> messages;
    for (int problem = 0; problem <= static_cast<int>(UsageProblem::kEmptyMac); ++problem) {
      messages.insert(usageMessage({static_cast<UsageProblem>(problem), ""}, *texts));
    }
    EXPECT_EQ(messages.size(), static_cast<std::size_t>(UsageProblem::kEmptyMac) + 1);
  }
}

TEST(CommandLineTest, TheHelpNamesEveryCommandAndOptionInBothLanguages) {
  for (const char* help : {ui::strings::kTerminalEnglish.help, ui::strings::kTerminalChinese.help}) {
    for (const char* word : {"search", "set MAC IP", "plan ", "check IP...", "adapters", "--wait", "--format",
                             "--yes", "--dry-run", "--help", "LC_MESSAGES", "0", "1", "2"}) {
      EXPECT_THAT(help, testing::HasSubstr(word));
    }
  }
}

}  // namespace
}  // namespace cli
