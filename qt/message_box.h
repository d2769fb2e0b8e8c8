// Message boxes go through this seam, so the pages can be tested without a
// modal box waiting for a click.
#pragma once

#include <QString>

class QWidget;

namespace ui {

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
};

// A modal QMessageBox over the owner.
class QtMessagePresenter : public MessagePresenter {
 public:
  MessageResult show(const MessageRequest& request) override;
};

}  // namespace ui
