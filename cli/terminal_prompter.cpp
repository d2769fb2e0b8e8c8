#include "cli/terminal_prompter.h"

#include "cli/confirmation.h"

namespace cli {

void TerminalPrompter::tell(const pages::Prompt& prompt) {
  if (clear_) clear_();
  toldAny_ = true;
  terminal_.tell(terminalLines(prompt.text));
}

bool TerminalPrompter::ask(const pages::Prompt& prompt) {
  if (clear_) clear_();
  return confirm(prompt.text, yes_, terminal_, texts_) == Confirmation::kConfirmed;
}

}  // namespace cli
