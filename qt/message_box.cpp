#include "qt/message_box.h"

#include <QDesktopServices>
#include <QDialog>
#include <QUrl>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QIdentityProxyModel>
#include <QLocale>
#include <QMessageBox>

#include "res/strings.h"

namespace qtui {

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

// The columns of Qt's file list that it writes in the system's locale, not
// the program's: the size, a folder's type, the date.
class ChineseFileColumns : public QIdentityProxyModel {
 public:
  using QIdentityProxyModel::QIdentityProxyModel;

  QVariant data(const QModelIndex& index, int role) const override {
    const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
    if (role != Qt::DisplayRole || !files) return QIdentityProxyModel::data(index, role);
    const QFileInfo file = files->fileInfo(mapToSource(index));
    switch (index.column()) {
      case kSizeColumn:
        return file.isDir() ? QString() : chinese_.formattedDataSize(file.size());
      case kTypeColumn:
        return file.isDir() ? QString::fromUtf8(strings::kFolderType) : QIdentityProxyModel::data(index, role);
      case kDateColumn:
        return chinese_.toString(file.lastModified(), QLocale::ShortFormat);
      default:
        return QIdentityProxyModel::data(index, role);
    }
  }

 private:
  // QFileSystemModel's columns.
  static constexpr int kSizeColumn = 1;
  static constexpr int kTypeColumn = 2;
  static constexpr int kDateColumn = 3;
  const QLocale chinese_{QLocale::Chinese, QLocale::China};
};

// Qt's own dialog, never the platform's: a desktop's dialog (GTK's, the
// portal's) speaks the system's language, and where there is no session bus
// it starts one that outlives the program. The chosen file, or empty.
QString runFileDialog(QFileDialog& dialog) {
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  // The file types' names come from the MIME database in the default
  // locale's language.
  QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
  dialog.setProxyModel(new ChineseFileColumns(&dialog));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().constFirst();
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
  QFileDialog dialog(owner, caption, QDir::home().filePath(suggestedName), filter);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  return runFileDialog(dialog);
}

QString QtMessagePresenter::chooseFileToOpen(QWidget* owner, const QString& caption, const QString& filter) {
  QFileDialog dialog(owner, caption, QDir::homePath(), filter);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  return runFileDialog(dialog);
}

bool QtMessagePresenter::run(QDialog& dialog) { return dialog.exec() == QDialog::Accepted; }

void QtMessagePresenter::openUrl(const QString& url) { QDesktopServices::openUrl(QUrl(url)); }

}  // namespace qtui
