// The export's save dialog and the plan's open dialog: Qt's own, never the
// desktop's, in the program's language whatever the system's, what they hand
// back, and the one file they leave, which README names.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTranslator>
#include <QTreeView>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>

#include "qt/message_box.h"
#include "qt/toolkit_translation.h"
#include "support/qt_printers.h"

namespace qtui {
namespace {

// A home of the test's own, holding a folder and a file, for the dialog to
// list.
class SaveDialogTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(home_.isValid());
    previousHome_ = qgetenv("HOME");
    qputenv("HOME", home_.path().toLocal8Bit());
    ASSERT_TRUE(QDir(home_.path()).mkdir(QStringLiteral("folder")));
    QFile file(home_.filePath(QStringLiteral("cameras.csv")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("MAC,IP\n");
  }
  void TearDown() override { qputenv("HOME", previousHome_); }

  // Runs the presenter's save dialog; `answer` is given it and closes it.
  static QString choose(const std::function<void(QFileDialog&)>& answer) {
    answerOnceShown(answer);
    return QtMessagePresenter().chooseFileToSave(nullptr, QStringLiteral("导出列表"), QStringLiteral("摄像机列表.csv"),
                                                 QStringLiteral("CSV 文件 (*.csv)"));
  }
  // The same with its open dialog.
  static QString chooseToOpen(const std::function<void(QFileDialog&)>& answer) {
    answerOnceShown(answer);
    return QtMessagePresenter().chooseFileToOpen(nullptr, QStringLiteral("打开规划表"), QStringLiteral("CSV 文件 (*.csv)"));
  }
  static void answerOnceShown(const std::function<void(QFileDialog&)>& answer) {
    QTimer::singleShot(0, [&answer] {
      QFileDialog* dialog = nullptr;
      if (!QTest::qWaitFor([&] { return (dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())); })) {
        ADD_FAILURE() << "no Qt file dialog was shown";
        return;
      }
      answer(*dialog);
    });
  }

  // The detail view's rows once the home folder is listed: every column
  // after the name.
  static QStringList listedColumns(QFileDialog& dialog) {
    auto* view = dialog.findChild<QTreeView*>();
    QStringList shown;
    if (!view) return shown;
    const auto rowsListed = [view] { return view->model()->rowCount(view->rootIndex()) >= 2; };
    if (!QTest::qWaitFor(rowsListed)) return shown;
    const QAbstractItemModel& model = *view->model();
    for (int row = 0; row < model.rowCount(view->rootIndex()); ++row)
      for (int column = 1; column < model.columnCount(view->rootIndex()); ++column)
        shown << model.index(row, column, view->rootIndex()).data().toString();
    return shown;
  }

  QTemporaryDir home_;
  QByteArray previousHome_;
};

// English shows as a lowercase word ("Folder", "Dec", "bytes"); file
// extensions as the MIME database names them ("CSV") are uppercase.
bool hasEnglishWord(const QString& text) { return text.contains(QRegularExpression(QStringLiteral("[a-z]{2,}"))); }

TEST_F(SaveDialogTest, IsQtsOwnAndSpeaksChineseWhateverTheSystemsLanguage) {
  ASSERT_TRUE(hasEnglishWord(QLocale::system().toString(QDate(2026, 12, 9), QLocale::LongFormat)))
      << "the test needs an English system locale, as ctest's environment has";
  const std::unique_ptr<QTranslator> chinese(installToolkitTranslation());
  ASSERT_NE(chinese, nullptr);
  QStringList shown;
  QStringList columns;
  bool ownDialog = false;
  choose([&](QFileDialog& dialog) {
    ownDialog = dialog.testOption(QFileDialog::DontUseNativeDialog) && dialog.isVisible();
    for (const QLabel* label : dialog.findChildren<QLabel*>())
      if (label->isVisible()) shown << label->text();
    for (const QAbstractButton* button : dialog.findChildren<QAbstractButton*>())
      if (button->isVisible()) shown << button->text() << button->toolTip();
    columns = listedColumns(dialog);
    dialog.reject();
  });
  EXPECT_TRUE(ownDialog);
  ASSERT_EQ(columns.size(), 6) << "a folder and a file, with size, type and date";
  for (const QString& text : shown + columns) EXPECT_FALSE(hasEnglishWord(text)) << text.toStdString();
}

TEST_F(SaveDialogTest, GivesTheChosenFileOrNothingWhenCancelled) {
  const QString chosen = choose([](QFileDialog& dialog) { QTest::keyClick(&dialog, Qt::Key_Return); });
  EXPECT_EQ(chosen, QDir(home_.path()).filePath(QStringLiteral("摄像机列表.csv")));
  EXPECT_EQ(choose([](QFileDialog& dialog) { dialog.reject(); }), QString());
}

TEST_F(SaveDialogTest, TheOpenDialogIsQtsOwnTooAndGivesTheExistingFileChosen) {
  bool ownDialog = false;
  const QString chosen = chooseToOpen([&](QFileDialog& dialog) {
    ownDialog = dialog.testOption(QFileDialog::DontUseNativeDialog) && dialog.fileMode() == QFileDialog::ExistingFile;
    dialog.selectFile(QStringLiteral("cameras.csv"));
    QTest::keyClick(&dialog, Qt::Key_Return);
  });
  EXPECT_TRUE(ownDialog);
  EXPECT_EQ(chosen, QDir(home_.path()).filePath(QStringLiteral("cameras.csv")));
  EXPECT_EQ(chooseToOpen([](QFileDialog& dialog) { dialog.reject(); }), QString());
}

TEST_F(SaveDialogTest, LeavesOnlyTheSettingsFileReadmeNames) {
  qunsetenv("XDG_CONFIG_HOME");
  choose([](QFileDialog& dialog) { dialog.reject(); });
  QStringList left;
  for (QDirIterator file(home_.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); file.hasNext();)
    left << QDir(home_.path()).relativeFilePath(file.next());
  left.removeOne(QStringLiteral("cameras.csv"));  // the test's own
  ASSERT_EQ(left, QStringList{QStringLiteral(".config/QtProject.conf")});
  std::ifstream readme(TOVALEN_README);
  const std::string text{std::istreambuf_iterator<char>(readme), {}};
  EXPECT_NE(text.find("`~/" + left.front().toStdString() + "`"), std::string::npos);
}

}  // namespace
}  // namespace qtui
