// How a page speaks to the user, whatever draws it: a notice, a question
// with OK and Cancel, the choice of a file to write or read, the clipboard. Each
// front-end implements it in its own boxes; tests answer it themselves.
#pragma once

#include <optional>
#include <string>

namespace pages {

enum class Icon { Exclamation, Question, Information };

// Texts are UTF-8; "\r\n" breaks a line, as in res/strings.h.
struct Prompt {
  std::string text;
  std::string caption;
  Icon icon = Icon::Information;
};

struct FileChoice {
  std::string caption;
  std::string suggestedName;
  std::string filter;     // what the dialog lists, e.g. "CSV 文件 (*.csv)"
  std::string extension;  // without the dot, added when the user typed none
};

class Prompter {
 public:
  virtual ~Prompter() = default;
  // Each returns once the user has answered.
  virtual void tell(const Prompt& prompt) = 0;
  // True for OK; Cancel, Esc or closing the box is false.
  virtual bool ask(const Prompt& prompt) = 0;
  // The path the user chose (UTF-8); nothing when they cancelled.
  virtual std::optional<std::string> chooseFileToSave(const FileChoice& choice) = 0;
  // The existing file the user chose to read (UTF-8); nothing when they
  // cancelled. The choice's suggested name is not used.
  virtual std::optional<std::string> chooseFileToOpen(const FileChoice& choice) = 0;
  virtual void copyToClipboard(const std::string& text) = 0;
  // In the system's web browser.
  virtual void openInBrowser(const std::string& url) = 0;
};

}  // namespace pages
