#include "qt/prompter.h"

#include <QClipboard>
#include <QGuiApplication>

#include "qt/message_box.h"

namespace qtui {
namespace {

MessageIcon toMessageIcon(pages::Icon icon) {
  switch (icon) {
    case pages::Icon::Exclamation: return MessageIcon::Exclamation;
    case pages::Icon::Question: return MessageIcon::Question;
    case pages::Icon::Information: break;
  }
  return MessageIcon::Information;
}

MessageRequest request(QWidget* owner, const pages::Prompt& prompt, MessageButtons buttons) {
  return {owner, QString::fromStdString(prompt.text), QString::fromStdString(prompt.caption), buttons,
          toMessageIcon(prompt.icon)};
}

}  // namespace

void Prompter::tell(const pages::Prompt& prompt) { messages_.show(request(owner_, prompt, MessageButtons::Ok)); }

bool Prompter::ask(const pages::Prompt& prompt) {
  return messages_.show(request(owner_, prompt, MessageButtons::OkCancel)) == MessageResult::Ok;
}

std::optional<std::string> Prompter::chooseFileToSave(const pages::FileChoice& choice) {
  const QString path =
      messages_.chooseFileToSave(owner_, QString::fromStdString(choice.caption),
                                 QString::fromStdString(choice.suggestedName), QString::fromStdString(choice.filter));
  if (path.isEmpty()) return std::nullopt;
  return path.toStdString();
}

std::optional<std::string> Prompter::chooseFileToOpen(const pages::FileChoice& choice) {
  const QString path = messages_.chooseFileToOpen(owner_, QString::fromStdString(choice.caption),
                                                  QString::fromStdString(choice.filter));
  if (path.isEmpty()) return std::nullopt;
  return path.toStdString();
}

void Prompter::copyToClipboard(const std::string& text) {
  QGuiApplication::clipboard()->setText(QString::fromStdString(text));
}

void Prompter::openInBrowser(const std::string& url) { messages_.openUrl(QString::fromStdString(url)); }

}  // namespace qtui
