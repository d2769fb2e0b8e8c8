// Which language the terminal program speaks.
#pragma once

#include <functional>

#include "res/strings.h"

namespace cli {

enum class Language { kEnglish, kChinese };

// `variable(name)` gives an environment variable, or null when it is unset.
Language languageOf(const std::function<const char*(const char*)>& variable);
Language languageOfThisProcess();

const ui::strings::TerminalTexts& textsIn(Language language);

}  // namespace cli
