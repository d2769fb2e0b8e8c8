// Stands in for message boxes and dialogs: records what would have been shown
// and answers as the test scripted it.
#pragma once

#include <QDialog>
#include <QString>
#include <deque>
#include <functional>
#include <vector>

#include "qt/message_box.h"

namespace testsupport {

class FakePresenter : public qtui::MessagePresenter {
 public:
  qtui::MessageResult show(const qtui::MessageRequest& request) override {
    shown.push_back(request);
    if (answers.empty()) return answer;
    const qtui::MessageResult next = answers.front();
    answers.pop_front();
    return next;
  }
  QString chooseFileToSave(QWidget*, const QString&, const QString&, const QString&) override { return fileToSave; }
  QString chooseFileToOpen(QWidget*, const QString&, const QString&) override { return fileToOpen; }
  // Hands the dialog to `onDialog`, which works it as a user would, instead
  // of running it modally.
  bool run(QDialog& dialog) override {
    if (onDialog) onDialog(dialog);
    return dialog.result() == QDialog::Accepted;
  }

  void openUrl(const QString& url) override { opened.push_back(url); }

  // Boxes are answered from `answers` first, then with `answer`.
  std::deque<qtui::MessageResult> answers;
  qtui::MessageResult answer = qtui::MessageResult::Ok;
  std::vector<qtui::MessageRequest> shown;
  QString fileToSave;
  QString fileToOpen;
  std::vector<QString> opened;
  std::function<void(QDialog&)> onDialog;
};

}  // namespace testsupport
