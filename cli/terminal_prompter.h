// The pages' prompter on a terminal: a notice goes to standard error, a
// question is the confirmation rule of cli/confirmation.h (--yes goes on, no
// terminal on standard input stops, else y/N). No file is chosen and there
// is no clipboard: the terminal program offers neither.
#pragma once

#include <functional>

#include "cli/terminal.h"
#include "pages/prompter.h"
#include "res/strings.h"

namespace cli {

class TerminalPrompter : public pages::Prompter {
 public:
  TerminalPrompter(Terminal& terminal, const ui::strings::TerminalTexts& texts, bool yes)
      : terminal_(terminal), texts_(texts), yes_(yes) {}

  void tell(const pages::Prompt& prompt) override;
  bool ask(const pages::Prompt& prompt) override;
  // A terminal has no file dialog, clipboard or browser: it offers none of
  // the flows that need them (a plan's file is an argument).
  std::optional<std::string> chooseFileToSave(const pages::FileChoice&) override { return std::nullopt; }
  std::optional<std::string> chooseFileToOpen(const pages::FileChoice&) override { return std::nullopt; }
  void copyToClipboard(const std::string&) override {}
  void openInBrowser(const std::string&) override {}

  // Whether the page told of a problem (a refusal) rather than only asking.
  bool toldAny() const { return toldAny_; }
  // Runs before each notice or question: what is shown meanwhile makes way.
  void beforeSpeaking(std::function<void()> clear) { clear_ = std::move(clear); }

 private:
  Terminal& terminal_;
  const ui::strings::TerminalTexts& texts_;
  bool yes_;
  bool toldAny_ = false;
  std::function<void()> clear_;
};

}  // namespace cli
