#include "cli/language.h"

#include <cstdlib>
#include <string_view>

namespace cli {

// The window speaks Chinese only, but the terminal program is also run over
// SSH and from scripts, mostly under the C or an English locale, where a
// terminal may not show Chinese and scripts match English messages; so it
// speaks Chinese only where the user's locale asks for it. The variables are
// read in the order POSIX gives them precedence: the first one set decides.
Language languageOf(const std::function<const char*(const char*)>& variable) {
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = variable(name);
    if (value == nullptr || *value == '\0') continue;
    return std::string_view(value).starts_with("zh") ? Language::kChinese : Language::kEnglish;
  }
  return Language::kEnglish;
}

Language languageOfThisProcess() { return languageOf([](const char* name) { return std::getenv(name); }); }

const ui::strings::TerminalTexts& textsIn(Language language) {
  return language == Language::kChinese ? ui::strings::kTerminalChinese : ui::strings::kTerminalEnglish;
}

}  // namespace cli
