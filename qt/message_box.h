// Message boxes, the save dialog and the program's own modal dialogs go
// through this seam, so the pages can be tested without a modal window
// waiting for a click.
#pragma once

#include <QString>
#include "qt/res_names.h"

class QDialog;
class QWidget;

namespace qtui {

enum class MessageButtons { Ok, OkCancel };
enum class MessageIcon { Exclamation, Question, Information };
enum class MessageResult { Ok, Cancel };

struct MessageRequest {
  QWidget* owner;  // may be null, before any window exists
  QString text;    // "\r\n" breaks a line, as in the program's texts (res/strings.h)
  QString caption;
  MessageButtons buttons;
  MessageIcon icon;
};

class MessagePresenter {
 public:
  virtual ~MessagePresenter() = default;
  // Returns once the user has answered.
  virtual MessageResult show(const MessageRequest& request) = 0;
  // The file the user chose to write, in a save dialog; empty when they
  // cancelled.
  virtual QString chooseFileToSave(QWidget* owner, const QString& caption, const QString& suggestedName,
                                   const QString& filter) = 0;
  // The existing file the user chose to read, in an open dialog; empty when
  // they cancelled.
  virtual QString chooseFileToOpen(QWidget* owner, const QString& caption, const QString& filter) = 0;
  // Runs `dialog` modally; true when the user accepted it.
  virtual bool run(QDialog& dialog) = 0;
  // In the system's browser.
  virtual void openUrl(const QString& url) = 0;
};

// A modal QMessageBox over the owner; Qt's own file dialogs, in Chinese.
class QtMessagePresenter : public MessagePresenter {
 public:
  MessageResult show(const MessageRequest& request) override;
  QString chooseFileToSave(QWidget* owner, const QString& caption, const QString& suggestedName,
                           const QString& filter) override;
  QString chooseFileToOpen(QWidget* owner, const QString& caption, const QString& filter) override;
  bool run(QDialog& dialog) override;
  void openUrl(const QString& url) override;
};

}  // namespace qtui
