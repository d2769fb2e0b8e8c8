#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTableView>
#include <array>

#include "discovery/host_network.h"
#include "support/datagrams.h"
#include "support/wire_peer.h"
#include "qt/about_box.h"
#include "qt/dialog_builder.h"
#include "qt/calc_page.h"
#include "qt/camera_page.h"
#include "qt/fake_presenter.h"
#include "qt/ip_address_edit.h"
#include "qt/main_window.h"
#include "res/resource_ids.h"
#include "qt/tab_rectangles.h"
#include "qt/ui_test_support.h"

namespace qtui {
namespace {

using testsupport::FakePresenter;
namespace main_window = ids::main_window;
namespace camera_page = ids::camera_page;
namespace calc_page = ids::calc_page;

class MainWindowTest : public testing::Test {
 protected:
  void SetUp() override {
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    // The camera page hears answers once its channel, opened behind the window, is open.
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.cameraPage()->page().channelOpened().has_value(); }, 10000));
  }

  QTabWidget* tabs() const { return control(&window, main_window::kTabs); }
  void clickTab(int index) {
    QTabBar* bar = tabs()->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
  }
  bool isOpen() const { return window.isVisible(); }

  FakePresenter messages;
  discovery::SystemNetwork network;
  MainWindow window{messages, network};
};

TEST_F(MainWindowTest, StartsOnTheCameraTabWithItsPageShown) {
  EXPECT_EQ(window.windowTitle(), "Tovalen");
  EXPECT_EQ(window.minimumSize(), window.maximumSize());
  ASSERT_EQ(tabs()->count(), 2);
  EXPECT_EQ(tabs()->tabText(0), "  跨网段修改摄像机IP ");
  EXPECT_EQ(tabs()->tabText(1), "  计算所需硬盘大小 ");
  EXPECT_EQ(tabs()->currentIndex(), 0);
  EXPECT_TRUE(window.cameraPage()->isVisible());
  EXPECT_FALSE(window.calculatorPage()->isVisible());
  EXPECT_EQ(window.cameraPage()->parentWidget(), &window);
  EXPECT_EQ(window.calculatorPage()->parentWidget(), &window);
}

TEST_F(MainWindowTest, IsANormalWindowThatMinimisesButDoesNotMaximise) {
  // Many window managers give no minimise to a dialog that runs modally.
  EXPECT_EQ(window.windowType(), Qt::Window);
  const Qt::WindowFlags flags = window.windowFlags();
  for (const Qt::WindowType hint :
       {Qt::WindowTitleHint, Qt::WindowSystemMenuHint, Qt::WindowMinimizeButtonHint, Qt::WindowCloseButtonHint})
    EXPECT_TRUE(flags.testFlag(hint)) << hint;
  // Without CustomizeWindowHint a window gets maximise as well.
  EXPECT_TRUE(flags.testFlag(Qt::CustomizeWindowHint));
  EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
}

TEST_F(MainWindowTest, FitsA1024By768ScreenWithItsFrame) {
  // The offscreen platform's frame is a token 2 px; a typical window
  // manager's is a 30 px title bar and an 8 px border on the other sides.
  constexpr int kTitleBar = 30;
  constexpr int kBorder = 8;
  const QSize framed = window.size() + QSize(2 * kBorder, kTitleBar + kBorder);
  EXPECT_LE(framed.width(), 1024);
  EXPECT_LE(framed.height(), 768);
}

TEST_F(MainWindowTest, TheCameraPageFillsItsTabAndCloseStaysBelowItAtTheRight) {
  QRect content;
  for (const QWidget* control : window.cameraPage()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    if (control->isVisibleTo(window.cameraPage())) content |= control->geometry();
  const QRect page = window.cameraPage()->geometry();
  EXPECT_LE(content.right(), page.width() - 1);
  EXPECT_GE(content.width() * 100 / tabs()->width(), 90) << content.width() << " of " << tabs()->width() << " px";
  const QRect close = control(&window, ids::main_window::kClose)->geometry();
  EXPECT_GT(close.top(), tabs()->geometry().bottom());
  EXPECT_TRUE(window.rect().contains(close));
  EXPECT_GE(close.right(), tabs()->geometry().right() - close.width());
}

TEST_F(MainWindowTest, TabControlAndPagesFollowTheLayoutRule) {
  EXPECT_EQ(tabs()->geometry(), tabControlRectangle(window.size()));
  EXPECT_EQ(window.cameraPage()->geometry(), pageRectangle(tabs()->size()));
}

TEST_F(MainWindowTest, SwitchingTabsShowsOnePageAtTheSameRectangleAndKeepsTheList) {
  testsupport::WirePeer peer;
  peer.sendToGroup(testsupport::searchReply("CAM-1"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return window.cameraPage()->cameraModel().rowCount() == 1; }, 10000));

  const QRect pageArea = window.cameraPage()->geometry();
  clickTab(1);
  EXPECT_EQ(tabs()->currentIndex(), 1);
  EXPECT_FALSE(window.cameraPage()->isVisible());
  EXPECT_TRUE(window.calculatorPage()->isVisible());
  EXPECT_EQ(window.calculatorPage()->geometry(), pageArea);

  clickTab(0);
  EXPECT_TRUE(window.cameraPage()->isVisible());
  EXPECT_FALSE(window.calculatorPage()->isVisible());
  EXPECT_EQ(control(window.cameraPage(), camera_page::kCameraList)->model()->rowCount(), 1);
}

TEST_F(MainWindowTest, CtrlTabSwitchesPagesFromTheKeyboard) {
  QTest::keyClick(&window, Qt::Key_Tab, Qt::ControlModifier);
  EXPECT_TRUE(window.calculatorPage()->isVisible());
  QTest::keyClick(&window, Qt::Key_PageUp, Qt::ControlModifier);
  EXPECT_TRUE(window.cameraPage()->isVisible());
}

TEST_F(MainWindowTest, AboutIsTheLastContextMenuItemAfterASeparator) {
  const QList<QAction*> actions = window.actions();
  ASSERT_GE(actions.size(), 2);
  EXPECT_EQ(window.contextMenuPolicy(), Qt::ActionsContextMenu);
  EXPECT_TRUE(actions[actions.size() - 2]->isSeparator());
  EXPECT_EQ(actions.last()->text(), "关于 Tovalen(&A)...");
}

TEST_F(MainWindowTest, F1OpensTheAboutBoxCentredOnTheWindow) {
  QString title, firstLine;
  bool centred = false;
  QTimer::singleShot(0, [&] {
    auto* about = qobject_cast<AboutBox*>(QApplication::activeModalWidget());
    if (!about) return;
    title = about->windowTitle();
    for (QLabel* label : about->findChildren<QLabel*>())
      if (label->text().startsWith("Tovalen")) firstLine = label->text();
    centred = (about->frameGeometry().center() - window.frameGeometry().center()).manhattanLength() <= 4;
    QTest::mouseClick(control(about, ids::about_box::kOk), Qt::LeftButton);
  });
  QTest::keyClick(&window, Qt::Key_F1);
  EXPECT_EQ(title, "关于 Tovalen");
  EXPECT_EQ(firstLine, "Tovalen Version 1.0");
  EXPECT_TRUE(centred);
  EXPECT_TRUE(isOpen());
}

TEST_F(MainWindowTest, EnterInsideAPageNeverClosesTheWindow) {
  QLineEdit* macBox = control(window.cameraPage(), camera_page::kMac);
  macBox->setFocus();
  QTest::keyClick(macBox, Qt::Key_Return);
  EXPECT_TRUE(isOpen());

  clickTab(1);
  QLineEdit* days = control(window.calculatorPage(), calc_page::kDays);
  days->setFocus();
  QTest::keyClick(days, Qt::Key_Return);
  EXPECT_TRUE(isOpen());
  EXPECT_EQ(control(window.calculatorPage(), calc_page::kGigabytes)->text(), "9887");
}

TEST_F(MainWindowTest, CloseStaysTheDefaultButtonWhereverTheFocusGoesInThePages) {
  uitest::showActive(window);
  const QPushButton* close = control(&window, main_window::kClose);
  const std::array<const QPushButton*, 2> hiddenPageButtons{control(window.cameraPage(), camera_page::kHiddenOk),
                                                            control(window.calculatorPage(), calc_page::kHiddenOk)};
  const auto expectCloseIsTheDefault = [&](QWidget* box) {
    box->setFocus(Qt::MouseFocusReason);
    ASSERT_TRUE(box->hasFocus() || box->isAncestorOf(QApplication::focusWidget())) << box->objectName().toStdString();
    EXPECT_TRUE(close->isDefault()) << box->objectName().toStdString();
    for (const QPushButton* hidden : hiddenPageButtons) EXPECT_FALSE(hidden->isDefault());
  };
  const QWidget* camera = window.cameraPage();
  for (QWidget* box : std::initializer_list<QWidget*>{
           control(camera, camera_page::kCameraList), control(camera, camera_page::kMac), control(camera, camera_page::kIp),
           control(camera, camera_page::kGateway), control(camera, camera_page::kNewAddress),
           control(camera, camera_page::kNewGateway)})
    expectCloseIsTheDefault(box);
  clickTab(1);
  const QWidget* calculator = window.calculatorPage();
  for (const auto input : {calc_page::kBitRate, calc_page::kCameras, calc_page::kHoursPerDay, calc_page::kDays,
                           calc_page::kGigabytes, calc_page::kTerabytes})
    expectCloseIsTheDefault(control(calculator, input));
}

TEST_F(MainWindowTest, EscapeClosesTheWindowAsCancel) {
  QTest::keyClick(&window, Qt::Key_Escape);
  EXPECT_FALSE(isOpen());
  EXPECT_EQ(window.result(), QDialog::Rejected);
}

TEST_F(MainWindowTest, CloseButtonEndsTheRun) {
  auto* close = control(&window, main_window::kClose);
  EXPECT_EQ(close->text(), "关闭");
  EXPECT_TRUE(close->isDefault());
  QTest::mouseClick(close, Qt::LeftButton);
  EXPECT_FALSE(isOpen());
  EXPECT_EQ(window.result(), QDialog::Accepted);
}

}  // namespace
}  // namespace qtui
