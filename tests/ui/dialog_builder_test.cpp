// The controls the builder makes from the templates: found by id, with their
// texts, kinds and styles, in Tab order, and named for screen readers.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTreeView>
#include <vector>

#include "ui/app_icon.h"
#include "ui/dialog_builder.h"
#include "ui/dialog_template.h"
#include "ui/ip_address_edit.h"
#include "ui/res/dialog_templates.h"
#include "ui_test_support.h"

namespace {

using testing::Contains;
using testing::ElementsAre;
using testing::ElementsAreArray;
using ui::control;

QLabel* staticWithText(QWidget& dialog, const char* text) {
  for (QLabel* label : dialog.findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
    if (label->text() == QString::fromUtf8(text)) return label;
  return nullptr;
}

TEST(BuiltCameraPage, HasTheTemplatesControlsById) {
  QWidget page;
  ui::buildDialog(&page, ui::cameraPageTemplate());

  ASSERT_NE(control<QPushButton>(&page, 1018), nullptr);
  EXPECT_EQ(control<QPushButton>(&page, 1018)->text(), QStringLiteral("搜索摄像机"));
  ASSERT_NE(control<QPushButton>(&page, 1019), nullptr);
  EXPECT_EQ(control<QPushButton>(&page, 1019)->text(), QStringLiteral("确定修改该摄像机"));
  for (int id : {1001, 1002, 1003}) {
    ASSERT_NE(control<QLineEdit>(&page, id), nullptr) << id;
    EXPECT_TRUE(control<QLineEdit>(&page, id)->isReadOnly()) << id;
  }
  EXPECT_NE(control<ui::IpAddressEdit>(&page, 1050), nullptr);
  EXPECT_NE(control<ui::IpAddressEdit>(&page, 1051), nullptr);
  EXPECT_NE(staticWithText(page, "当前选中的摄像机"), nullptr);

  QLabel* note = staticWithText(page, "【注意：修改IP的时候，IP不能重复！可以用ping命令测试该IP是否被占用！】");
  ASSERT_NE(note, nullptr);
  EXPECT_TRUE(note->wordWrap());
}

TEST(BuiltCameraPage, ListIsAReportOfWholeRows) {
  QWidget page;
  ui::buildDialog(&page, ui::cameraPageTemplate());
  const QTreeView* list = control<QTreeView>(&page, 1009);
  ASSERT_NE(list, nullptr);
  EXPECT_FALSE(list->rootIsDecorated());
  EXPECT_TRUE(list->uniformRowHeights());
  EXPECT_EQ(list->editTriggers(), QAbstractItemView::NoEditTriggers);
  EXPECT_EQ(list->selectionMode(), QAbstractItemView::ExtendedSelection);
  EXPECT_EQ(list->selectionBehavior(), QAbstractItemView::SelectRows);
  EXPECT_FALSE(list->isSortingEnabled());
  EXPECT_FALSE(list->header()->sectionsMovable());
  EXPECT_EQ(list->header()->defaultAlignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
}

TEST(BuiltPages, HiddenDefaultButtonStaysHiddenAndOutOfTheWay) {
  for (const ui::DialogTemplate* pageTemplate : {&ui::cameraPageTemplate(), &ui::calcPageTemplate()}) {
    QWidget page;
    ui::buildDialog(&page, *pageTemplate);
    page.show();
    const QPushButton* ok = control<QPushButton>(&page, 1);
    ASSERT_NE(ok, nullptr) << pageTemplate->resourceId;
    EXPECT_EQ(ok->text(), QStringLiteral("确定"));
    EXPECT_FALSE(ok->isDefault());
    EXPECT_FALSE(ok->isVisible());
    EXPECT_EQ(ok->focusPolicy(), Qt::NoFocus);
  }
}

TEST(BuiltCalcPage, HasTheTemplatesControlsById) {
  QWidget page;
  ui::buildDialog(&page, ui::calcPageTemplate());

  for (int id : {1001, 1002, 1003, 1004}) {
    ASSERT_NE(control<QLineEdit>(&page, id), nullptr) << id;
    EXPECT_FALSE(control<QLineEdit>(&page, id)->isReadOnly()) << id;
  }
  for (int id : {1005, 1006}) {
    ASSERT_NE(control<QLineEdit>(&page, id), nullptr) << id;
    EXPECT_TRUE(control<QLineEdit>(&page, id)->isReadOnly()) << id;
  }
  ASSERT_NE(control<QPushButton>(&page, 1018), nullptr);
  EXPECT_EQ(control<QPushButton>(&page, 1018)->text(), QStringLiteral("计算需要硬盘大小"));

  std::vector<QString> frames;
  for (const QGroupBox* frame : page.findChildren<QGroupBox*>()) frames.push_back(frame->title());
  EXPECT_THAT(frames, ElementsAre(QStringLiteral("计算方式一")));
  for (const char* text : {"注：市场上 1T 的硬盘就是1000G，同理2T的硬盘是2000G", "（ 约等于 ", "T ）"})
    EXPECT_NE(staticWithText(page, text), nullptr) << text;
}

TEST(BuiltMainWindow, HasCloseButtonAndATabControlOutsideTheTabChain) {
  QWidget window;
  ui::buildDialog(&window, ui::mainWindowTemplate());
  EXPECT_EQ(window.windowTitle(), QStringLiteral("Tovalen"));

  const QPushButton* close = control<QPushButton>(&window, 1);
  ASSERT_NE(close, nullptr);
  EXPECT_EQ(close->text(), QStringLiteral("关闭"));
  EXPECT_TRUE(close->isDefault());

  const QTabWidget* tabs = control<QTabWidget>(&window, 1000);
  ASSERT_NE(tabs, nullptr);
  EXPECT_EQ(tabs->focusPolicy(), Qt::NoFocus);
  EXPECT_EQ(tabs->tabBar()->focusPolicy(), Qt::NoFocus);
}

TEST(BuiltAboutBox, ShowsTheAppIconAndVersion) {
  QWidget about;
  ui::buildDialog(&about, ui::aboutTemplate());
  EXPECT_EQ(about.windowTitle(), QStringLiteral("关于 Tovalen"));
  EXPECT_NE(staticWithText(about, "Tovalen Version 1.0"), nullptr);
  ASSERT_NE(control<QPushButton>(&about, 1), nullptr);
  EXPECT_TRUE(control<QPushButton>(&about, 1)->isDefault());

  std::vector<QSize> pictures;
  for (const QLabel* label : about.findChildren<QLabel*>())
    if (!label->pixmap().isNull()) pictures.push_back(label->pixmap().size());
  EXPECT_THAT(pictures, ElementsAre(QSize(32, 32)));
}

TEST(AppIcon, HoldsEveryRenderedSize) {
  const QList<QSize> sizes = ui::appIcon().availableSizes();
  for (int size : {16, 24, 32, 48, 64, 128, 256}) EXPECT_THAT(sizes, Contains(QSize(size, size)));
}

TEST(ControlLookup, FindsOnlyTheDialogsOwnControlsOfTheAskedType) {
  QWidget window;
  auto* page = new QWidget(&window);
  ui::buildDialog(page, ui::cameraPageTemplate());
  EXPECT_EQ(control<QPushButton>(&window, 1018), nullptr);  // the page's, not the window's
  EXPECT_NE(control<QPushButton>(page, 1018), nullptr);
  EXPECT_EQ(control<QLineEdit>(page, 1018), nullptr);
  EXPECT_EQ(control<QWidget>(page, 4242), nullptr);
}

// The id of the control that holds the focus (the address control, when one
// of its fields does).
int focusedControlId(const QWidget& dialog) {
  for (QWidget* widget = QApplication::focusWidget(); widget; widget = widget->parentWidget())
    if (widget->parentWidget() == &dialog) return widget->objectName().mid(3).toInt();
  return 0;
}

std::vector<int> idsVisitedByTab(QWidget& dialog, int stops, Qt::KeyboardModifiers modifiers) {
  std::vector<int> visited{focusedControlId(dialog)};
  for (int i = 0; i < stops; ++i) {
    uitest::pressKey(Qt::Key_Tab, modifiers);
    visited.push_back(focusedControlId(dialog));
  }
  return visited;
}

TEST(TabOrder, FollowsEachPagesList) {
  for (const ui::DialogTemplate* pageTemplate : {&ui::cameraPageTemplate(), &ui::calcPageTemplate()}) {
    QWidget page;
    ui::buildDialog(&page, *pageTemplate);
    uitest::showActive(page);
    const std::vector<int>& order = pageTemplate->tabOrder;
    control<QWidget>(&page, order.front())->setFocus();

    std::vector<int> expected = order;
    expected.push_back(order.front());
    EXPECT_THAT(idsVisitedByTab(page, static_cast<int>(order.size()), Qt::NoModifier), ElementsAreArray(expected))
        << pageTemplate->resourceId;
  }
}

TEST(TabOrder, IsTheListedOrderNotTheCreationOrder) {
  using enum ui::ControlKind;
  const ui::DialogTemplate shuffled{
      1, "", 200, 100, 8,
      {
          {11, Edit, "", {5, 5, 40, 12}, ui::Plain},
          {12, IpAddress, "", {5, 20, 100, 15}, ui::Plain},
          {13, Edit, "", {5, 40, 40, 12}, ui::Plain},
          {14, PushButton, "OK", {5, 60, 40, 14}, ui::Default | ui::Hidden},
          {15, PushButton, "Go", {5, 80, 40, 14}, ui::NoTabStop},
      },
      {13, 12, 11}};
  QWidget dialog;
  ui::buildDialog(&dialog, shuffled);
  uitest::showActive(dialog);
  control<QWidget>(&dialog, 13)->setFocus();

  EXPECT_THAT(idsVisitedByTab(dialog, 3, Qt::NoModifier), ElementsAre(13, 12, 11, 13));
  EXPECT_THAT(idsVisitedByTab(dialog, 3, Qt::ShiftModifier), ElementsAre(13, 11, 12, 13));
}

TEST(AccessibleNames, EditBoxesAreNamedByTheTextsOnTheirRow) {
  QWidget calc;
  ui::buildDialog(&calc, ui::calcPageTemplate());
  EXPECT_EQ(control<QLineEdit>(&calc, 1001)->accessibleName(), QStringLiteral("每路大视频码流大小 kbps"));
  EXPECT_EQ(control<QLineEdit>(&calc, 1002)->accessibleName(), QStringLiteral("共有 路摄像机"));
  EXPECT_EQ(control<QLineEdit>(&calc, 1003)->accessibleName(), QStringLiteral("每天录 小时"));
  EXPECT_EQ(control<QLineEdit>(&calc, 1004)->accessibleName(), QStringLiteral("需要存储录像 天"));
  EXPECT_EQ(control<QLineEdit>(&calc, 1005)->accessibleName(), QStringLiteral("G"));
  EXPECT_EQ(control<QLineEdit>(&calc, 1006)->accessibleName(), QStringLiteral("（ 约等于 T ）"));

  QWidget camera;
  ui::buildDialog(&camera, ui::cameraPageTemplate());
  EXPECT_EQ(control<QLineEdit>(&camera, 1001)->accessibleName(), QStringLiteral("MAC"));
  EXPECT_EQ(control<QLineEdit>(&camera, 1002)->accessibleName(), QStringLiteral("IP"));
  EXPECT_EQ(control<QLineEdit>(&camera, 1003)->accessibleName(), QStringLiteral("网关"));
  EXPECT_EQ(control<QWidget>(&camera, 1050)->accessibleName(), QStringLiteral("修改为这个IP"));
  EXPECT_EQ(control<QWidget>(&camera, 1051)->accessibleName(), QStringLiteral("修改为这个网关"));
  const QList<QLineEdit*> fields = control<QWidget>(&camera, 1051)->findChildren<QLineEdit*>();
  ASSERT_FALSE(fields.isEmpty());
  EXPECT_EQ(fields.front()->accessibleName(), QStringLiteral("修改为这个网关 第1段"));
}

}  // namespace
