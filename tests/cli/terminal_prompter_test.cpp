// The pages' prompter on a terminal: a notice on standard error with the
// terminal's line ends, a question under the confirmation rule, and nothing
// offered for a file or the clipboard.
#include "cli/terminal_prompter.h"

#include <gmock/gmock.h>

namespace cli {
namespace {

using testing::HasSubstr;

class ScriptedTerminal : public Terminal {
 public:
  bool inputIsTerminal() const override { return isTerminal; }
  void tell(std::string_view text) override { told += text; }
  std::optional<std::string> readLine() override { return answer; }

  bool isTerminal = true;
  std::optional<std::string> answer;
  std::string told;
};

const ui::strings::TerminalTexts& kEnglish = ui::strings::kTerminalEnglish;

TEST(TerminalPrompterTest, TellsANoticeOnItsOwnLinesAndNotesIt) {
  ScriptedTerminal terminal;
  TerminalPrompter prompter(terminal, kEnglish, false);
  EXPECT_FALSE(prompter.toldAny());
  prompter.tell({"first\r\nsecond", "caption", pages::Icon::Exclamation});
  EXPECT_EQ(terminal.told, "first\nsecond\n");
  EXPECT_TRUE(prompter.toldAny());
}

TEST(TerminalPrompterTest, AsksAsTheConfirmationRuleSays) {
  const struct {
    bool yes;
    bool isTerminal;
    std::optional<std::string> answer;
    bool goesOn;
  } cases[] = {
      {true, false, std::nullopt, true},
      {false, false, "y", false},  // no terminal: never read
      {false, true, "y", true},
      {false, true, "", false},
      {false, true, std::nullopt, false},
  };
  for (const auto& test : cases) {
    ScriptedTerminal terminal;
    terminal.isTerminal = test.isTerminal;
    terminal.answer = test.answer;
    TerminalPrompter prompter(terminal, kEnglish, test.yes);
    EXPECT_EQ(prompter.ask({"Change it?", "", pages::Icon::Question}), test.goesOn) << terminal.told;
    EXPECT_THAT(terminal.told, HasSubstr("Change it?\n"));
    EXPECT_FALSE(prompter.toldAny());
  }
}

TEST(TerminalPrompterTest, WhatIsShownMeanwhileMakesWayBeforeEachNoticeAndQuestion) {
  ScriptedTerminal terminal;
  TerminalPrompter prompter(terminal, kEnglish, true);
  prompter.beforeSpeaking([&] { terminal.told += "[cleared]"; });
  prompter.tell({"notice", "", pages::Icon::Information});
  EXPECT_THAT(terminal.told, testing::StartsWith("[cleared]notice\n"));
  terminal.told.clear();
  prompter.ask({"question", "", pages::Icon::Question});
  EXPECT_THAT(terminal.told, testing::StartsWith("[cleared]question\n"));
}

TEST(TerminalPrompterTest, OffersNoFileAndNoClipboard) {
  ScriptedTerminal terminal;
  TerminalPrompter prompter(terminal, kEnglish, true);
  EXPECT_EQ(prompter.chooseFileToSave({"caption", "list.csv", "CSV", "csv"}), std::nullopt);
  prompter.copyToClipboard("text");
  EXPECT_EQ(terminal.told, "");
}

}  // namespace
}  // namespace cli
