#include "qt/message_box.h"

#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

namespace ui {

namespace {

QMessageBox::Icon toQtIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Exclamation:
      return QMessageBox::Warning;
    case MessageIcon::Question:
      return QMessageBox::Question;
    case MessageIcon::Information:
      break;
  }
  return QMessageBox::Information;
}

}  // namespace

MessageResult QtMessagePresenter::show(const MessageRequest& request) {
  const QMessageBox::StandardButtons buttons =
      request.buttons == MessageButtons::OkCancel ? QMessageBox::Ok | QMessageBox::Cancel : QMessageBox::Ok;
  QString text = request.text;
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));  // a lone '\r' would show as a glyph
  QMessageBox box(toQtIcon(request.icon), request.caption, text, buttons, request.owner);
  box.setTextFormat(Qt::PlainText);
  box.setDefaultButton(QMessageBox::Ok);  // as the platform's boxes: the first button
  // Esc or closing the window answers Cancel, or OK when that is the only button.
  return box.exec() == QMessageBox::Ok ? MessageResult::Ok : MessageResult::Cancel;
}

QString QtMessagePresenter::chooseFileToSave(QWidget* owner, const QString& caption, const QString& suggestedName,
                                             const QString& filter) {
  return QFileDialog::getSaveFileName(owner, caption, QDir::home().filePath(suggestedName), filter);
}

bool QtMessagePresenter::run(QDialog& dialog) { return dialog.exec() == QDialog::Accepted; }

}  // namespace ui
