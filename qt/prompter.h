// The pages' prompter in Qt: their notices and questions as message boxes
// over `owner`, through the presenter (which tests answer), and the clipboard.
#pragma once

#include "pages/prompter.h"
#include "qt/res_names.h"

class QWidget;

namespace qtui {

class MessagePresenter;

class Prompter : public pages::Prompter {
 public:
  Prompter(MessagePresenter& messages, QWidget* owner) : messages_(messages), owner_(owner) {}

  void tell(const pages::Prompt& prompt) override;
  bool ask(const pages::Prompt& prompt) override;
  std::optional<std::string> chooseFileToSave(const pages::FileChoice& choice) override;
  std::optional<std::string> chooseFileToOpen(const pages::FileChoice& choice) override;
  void copyToClipboard(const std::string& text) override;
  void openInBrowser(const std::string& url) override;

 private:
  MessagePresenter& messages_;
  QWidget* owner_;
};

}  // namespace qtui
