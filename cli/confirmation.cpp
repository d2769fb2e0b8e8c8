#include "cli/confirmation.h"

#include <string>

namespace cli {

std::string terminalLines(std::string_view text) {
  std::string lines;
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n') continue;
    lines += text[at];
  }
  if (lines.empty() || lines.back() != '\n') lines += '\n';
  return lines;
}

namespace {

bool isYes(std::string answer) {
  answer.erase(0, answer.find_first_not_of(" \t"));
  answer.erase(answer.find_last_not_of(" \t\r") + 1);
  for (char& c : answer) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  return answer == "y" || answer == "yes";
}

}  // namespace

Confirmation confirm(std::string_view warning, bool yes, Terminal& terminal, const ui::strings::TerminalTexts& texts) {
  terminal.tell(terminalLines(warning));
  if (yes) {
    terminal.tell(std::string(texts.confirmedByOption) + "\n");
    return Confirmation::kConfirmed;
  }
  if (!terminal.inputIsTerminal()) {
    terminal.tell(std::string(texts.noTerminal) + "\n");
    return Confirmation::kNoTerminal;
  }
  terminal.tell(texts.confirmPrompt);
  const auto answer = terminal.readLine();
  if (answer && isYes(*answer)) return Confirmation::kConfirmed;
  // At the end of input the prompt's line was never ended.
  terminal.tell(std::string(answer ? "" : "\n") + texts.declined + "\n");
  return Confirmation::kDeclined;
}

}  // namespace cli
