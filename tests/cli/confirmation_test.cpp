// Going on after a warning: asked on a terminal, --yes to go on unasked, and
// no guess when there is no terminal to ask on. The language by the locale.
#include "cli/confirmation.h"

#include <gmock/gmock.h>

#include <map>

#include "cli/language.h"

namespace cli {
namespace {

using testing::HasSubstr;

class ScriptedTerminal : public Terminal {
 public:
  ScriptedTerminal(bool isTerminal, std::optional<std::string> answer) : isTerminal_(isTerminal), answer_(answer) {}

  bool inputIsTerminal() const override { return isTerminal_; }
  void tell(std::string_view text) override { told += text; }
  std::optional<std::string> readLine() override {
    ++linesRead;
    return answer_;
  }

  std::string told;
  int linesRead = 0;

 private:
  bool isTerminal_;
  std::optional<std::string> answer_;
};

const ui::strings::TerminalTexts& kEnglish = ui::strings::kTerminalEnglish;

TEST(ConfirmationTest, OnATerminalOnlyAYesGoesOn) {
  const struct {
    std::optional<std::string> answer;
    Confirmation outcome;
  } cases[] = {
      {"y", Confirmation::kConfirmed},   {" YES \r", Confirmation::kConfirmed}, {"Yes", Confirmation::kConfirmed},
      {"", Confirmation::kDeclined},     {"n", Confirmation::kDeclined},         {"yes please", Confirmation::kDeclined},
      {"是", Confirmation::kDeclined},   {std::nullopt, Confirmation::kDeclined},
  };
  for (const auto& c : cases) {
    ScriptedTerminal terminal(true, c.answer);
    EXPECT_EQ(confirm("IP 10.0.0.5 taken\r\ngo on?", false, terminal, kEnglish), c.outcome) << c.answer.value_or("EOF");
    EXPECT_EQ(terminal.linesRead, 1);
    EXPECT_THAT(terminal.told, testing::StartsWith("IP 10.0.0.5 taken\ngo on?\nGo on? [y/N] "));
    EXPECT_THAT(terminal.told, testing::Not(HasSubstr("\r")));
  }
}

TEST(ConfirmationTest, YesGoesOnUnaskedButStillShowsTheWarning) {
  for (const bool isTerminal : {true, false}) {
    ScriptedTerminal terminal(isTerminal, "n");
    EXPECT_EQ(confirm("taken", true, terminal, kEnglish), Confirmation::kConfirmed);
    EXPECT_EQ(terminal.linesRead, 0);
    EXPECT_EQ(terminal.told, std::string("taken\n") + kEnglish.confirmedByOption + "\n");
  }
}

TEST(ConfirmationTest, WithoutATerminalItRefusesRatherThanReadAnAnswer) {
  ScriptedTerminal terminal(false, "y");
  EXPECT_EQ(confirm("taken", false, terminal, kEnglish), Confirmation::kNoTerminal);
  EXPECT_EQ(terminal.linesRead, 0);
  EXPECT_THAT(terminal.told, HasSubstr("--yes"));
}

TEST(LanguageTest, ChineseWhereTheFirstLocaleVariableSetBeginsWithZh) {
  using Environment = std::map<std::string, std::string>;
  const struct {
    Environment environment;
    Language language;
  } cases[] = {
      {{}, Language::kEnglish},
      {{{"LANG", "zh_CN.UTF-8"}}, Language::kChinese},
      {{{"LANG", "zh_TW.Big5"}}, Language::kChinese},
      {{{"LANG", "en_US.UTF-8"}}, Language::kEnglish},
      {{{"LANG", "C.UTF-8"}}, Language::kEnglish},
      {{{"LC_MESSAGES", "zh_CN.GBK"}, {"LANG", "en_GB.UTF-8"}}, Language::kChinese},
      {{{"LC_ALL", "C"}, {"LC_MESSAGES", "zh_CN.UTF-8"}, {"LANG", "zh_CN.UTF-8"}}, Language::kEnglish},
      {{{"LC_ALL", ""}, {"LANG", "zh_CN.UTF-8"}}, Language::kChinese},
      {{{"LANG", "ZH_cn"}}, Language::kEnglish},
  };
  for (const auto& c : cases) {
    const auto variable = [&c](const char* name) -> const char* {
      const auto found = c.environment.find(name);
      return found == c.environment.end() ? nullptr : found->second.c_str();
    };
    EXPECT_EQ(languageOf(variable), c.language) << testing::PrintToString(c.environment);
  }
  EXPECT_EQ(&textsIn(Language::kChinese), &ui::strings::kTerminalChinese);
  EXPECT_EQ(&textsIn(Language::kEnglish), &ui::strings::kTerminalEnglish);
}

}  // namespace
}  // namespace cli
