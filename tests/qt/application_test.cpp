// The application: a second copy's message, the program without a display,
// and Qt's own texts in Chinese.
#include "qt/application.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTranslator>
#include <memory>

#include "pages/single_instance.h"
#include "pages/startup.h"
#include "qt/toolkit_translation.h"
#include "discovery/host_network.h"
#include "qt/fake_presenter.h"
#include "qt/message_box.h"
#include "qt/ui_test_support.h"

namespace qtui {
namespace {

using testsupport::FakePresenter;

TEST(ApplicationTest, ASecondCopyShowsTheMessageAndEndsWithoutAWindow) {
  const QString name = QStringLiteral("tovalen-test-second-%1").arg(getpid());
  pages::SingleInstanceLock firstCopy;
  ASSERT_TRUE(firstCopy.acquire(name.toStdString()));
  // Without the lock the "second copy" would start for real and wait on its window.
  ASSERT_EQ(firstCopy.unguardedReason(), "") << "the first copy holds no lock, so no copy is refused";
  FakePresenter messages;
  discovery::SystemNetwork network;
  EXPECT_NE(Application(messages, network).run(name), 0);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, "该程序已经启动运行! ");
  EXPECT_EQ(messages.shown[0].caption, name);
  EXPECT_EQ(messages.shown[0].icon, MessageIcon::Exclamation);
  EXPECT_EQ(messages.shown[0].buttons, MessageButtons::Ok);
  EXPECT_TRUE(QApplication::topLevelWidgets().isEmpty());
}

TEST(ApplicationTest, WithoutADisplayTheProgramSaysSoInOneLineAndEnds) {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) environment.remove(name);
  QProcess program;
  program.setProcessEnvironment(environment);
  program.start(QStringLiteral(TOVALEN_EXECUTABLE), {});
  ASSERT_TRUE(program.waitForFinished(30000)) << program.errorString().toStdString();
  EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(program.exitCode(), pages::kNoDisplayExitCode);
  EXPECT_EQ(program.readAllStandardError().toStdString(),
            "tovalen: no display found; set DISPLAY or WAYLAND_DISPLAY\n");
  EXPECT_EQ(program.readAllStandardOutput().toStdString(), "");
}

TEST(ApplicationTest, ADisplayIsNamedByDisplayOrWaylandDisplayOrTrustedToTheChosenPlatform) {
  const auto named = [](std::initializer_list<std::pair<const char*, const char*>> variables) {
    QProcessEnvironment environment;
    for (const auto& [name, value] : variables) environment.insert(name, value);
    return displayNamed(environment);
  };
  EXPECT_FALSE(named({}));
  EXPECT_FALSE(named({{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}, {"QT_QPA_PLATFORM", ""}}));
  EXPECT_TRUE(named({{"DISPLAY", ":0"}}));
  EXPECT_TRUE(named({{"WAYLAND_DISPLAY", "wayland-0"}}));
  EXPECT_TRUE(named({{"QT_QPA_PLATFORM", "vnc"}}));
}

// The texts of the buttons of a real message box, which is then answered
// with its last button.
QStringList buttonTextsOfAMessageBox(MessageButtons buttons) {
  QStringList texts;
  QTimer::singleShot(0, [&] {
    if (!QTest::qWaitFor([] { return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()); })) return;
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    const QList<QAbstractButton*> shown = box->buttons();
    for (const QAbstractButton* button : shown) texts << button->text();
    QTest::mouseClick(shown.last(), Qt::LeftButton);
  });
  QtMessagePresenter().show({nullptr, QStringLiteral("确定IP，网关都填写对了？\r\n修改IP吗？"),
                                 QStringLiteral("提示"), buttons, MessageIcon::Question});
  texts.sort();
  return texts;
}

QStringList contextMenuTextsOfAnEditBox() {
  QLineEdit edit;
  const std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
  QStringList texts;
  for (const QAction* action : menu->actions())
    if (!action->isSeparator()) texts << action->text().section(u'\t', 0, 0);  // without the shortcut
  return texts;
}

TEST(ToolkitTranslationTest, StandardButtonsAndMenusSpeakChinese) {
  const std::unique_ptr<QTranslator> chinese(installToolkitTranslation());
  ASSERT_NE(chinese, nullptr) << "qtbase_zh_CN.qm is not in " << toolkitTranslationsFolder().toStdString();
  EXPECT_EQ(buttonTextsOfAMessageBox(MessageButtons::OkCancel), QStringList({"取消", "确定"}));
  EXPECT_EQ(buttonTextsOfAMessageBox(MessageButtons::Ok), QStringList({"确定"}));
  EXPECT_EQ(contextMenuTextsOfAnEditBox(),
            QStringList({"撤消(&U)", "重做(&R)", "剪切(&T)", "复制(&C)", "粘贴(&P)", "删除", "全选"}));
}

TEST(ToolkitTranslationTest, WithoutTheTranslationQtsEnglishStaysAndNothingIsSaid) {
  static int messages = 0;
  const QtMessageHandler previous =
      qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) { ++messages; });
  const QTemporaryDir empty;
  EXPECT_EQ(installToolkitTranslation(empty.path()), nullptr);
  qInstallMessageHandler(previous);
  EXPECT_EQ(messages, 0);
  EXPECT_EQ(buttonTextsOfAMessageBox(MessageButtons::OkCancel), QStringList({"Cancel", "OK"}));
}


}  // namespace
}  // namespace qtui
