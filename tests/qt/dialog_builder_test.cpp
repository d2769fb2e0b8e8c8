// What the builder makes of a template: every control of every template with
// its kind, text and style; the report list; Tab order; names for screen
// readers; and lookups by name that find only a dialog's own controls.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <vector>

#include "qt/app_icon.h"
#include "qt/dialog_builder.h"
#include "qt/ip_address_edit.h"
#include "res/dialog_templates.h"
#include "res/resource_ids.h"
#include "ui_test_support.h"

namespace {

using testing::Contains;
using testing::ElementsAre;
using testing::ElementsAreArray;
using qtui::control;
using ui::ControlKind;

const std::vector<const ui::DialogTemplate*> kAllTemplates{&ui::aboutTemplate(), &ui::mainWindowTemplate(),
                                                           &ui::cameraPageTemplate(), &ui::calcPageTemplate(),
                                                           &qtui::networkCheckTemplate(), &qtui::planTemplate()};

bool isOfKind(const QWidget* widget, ControlKind kind) {
  switch (kind) {
    case ControlKind::PushButton: return qobject_cast<const QPushButton*>(widget);
    case ControlKind::GroupBox: return qobject_cast<const QGroupBox*>(widget);
    case ControlKind::Static:
    case ControlKind::Icon: return qobject_cast<const QLabel*>(widget);
    case ControlKind::Edit: return qobject_cast<const QLineEdit*>(widget);
    case ControlKind::ListView: return qobject_cast<const QTableView*>(widget);
    case ControlKind::IpAddress: return qobject_cast<const qtui::IpAddressEdit*>(widget);
    case ControlKind::TabControl: return qobject_cast<const QTabWidget*>(widget);
    case ControlKind::TextView: return qobject_cast<const QPlainTextEdit*>(widget);
  }
  return false;
}

QLabel* staticWithText(const QWidget& dialog, const QString& text) {
  for (QLabel* label : dialog.findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
    if (label->text() == text) return label;
  return nullptr;
}

TEST(BuiltTemplates, EveryControlHasItsKindTextAndStyle) {
  for (const ui::DialogTemplate* dialogTemplate : kAllTemplates) {
    SCOPED_TRACE(dialogTemplate->caption);
    QWidget dialog;
    qtui::buildDialog(&dialog, *dialogTemplate);
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8(dialogTemplate->caption));
    for (const ui::ControlSpec& item : dialogTemplate->controls) {
      const QString text = QString::fromUtf8(item.text);
      SCOPED_TRACE("control " + std::to_string(item.id) + " \"" + item.text + "\"");
      if (item.id == ui::kUnnamedControl) {
        if (item.kind == ControlKind::Static) {
          const QLabel* label = staticWithText(dialog, text);
          ASSERT_NE(label, nullptr);
          EXPECT_EQ(label->wordWrap(), (item.style & ui::WordWrap) != 0);
        }
        continue;
      }
      const QWidget* widget = qtui::controlWidget(&dialog, item.id);
      ASSERT_NE(widget, nullptr);
      EXPECT_TRUE(isOfKind(widget, item.kind));
      EXPECT_EQ(widget->isVisible(), (item.style & ui::Hidden) == 0);
      if (item.style & (ui::Hidden | ui::NoTabStop)) {
        EXPECT_EQ(widget->focusPolicy(), Qt::NoFocus);
      }
      if (const auto* button = qobject_cast<const QPushButton*>(widget)) {
        EXPECT_EQ(button->text(), text);
        // A hidden button is never the default: it would take Enter from the
        // window's own default button.
        EXPECT_EQ(button->isDefault(), (item.style & ui::Default) && !(item.style & ui::Hidden));
      }
      if (const auto* edit = qobject_cast<const QLineEdit*>(widget)) {
        EXPECT_EQ(edit->isReadOnly(), (item.style & ui::ReadOnly) != 0);
      }
    }
  }
}

TEST(BuiltTemplates, TheCameraListIsAReportOfWholeRowsInArrivalOrder) {
  QWidget page;
  qtui::buildDialog(&page, ui::cameraPageTemplate());
  const QTableView* list = control(&page, ui::ids::camera_page::kCameraList);
  EXPECT_EQ(list->editTriggers(), QAbstractItemView::NoEditTriggers);
  EXPECT_EQ(list->selectionMode(), QAbstractItemView::ExtendedSelection);
  EXPECT_EQ(list->selectionBehavior(), QAbstractItemView::SelectRows);
  EXPECT_FALSE(list->isSortingEnabled());
  EXPECT_FALSE(list->tabKeyNavigation());  // Tab leaves the list
  EXPECT_FALSE(list->horizontalHeader()->sectionsMovable());
  EXPECT_EQ(list->horizontalHeader()->defaultAlignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
}

TEST(BuiltTemplates, TheAboutBoxShowsTheAppIcon) {
  QWidget about;
  qtui::buildDialog(&about, ui::aboutTemplate());
  std::vector<QSize> pictures;
  for (const QLabel* label : about.findChildren<QLabel*>())
    if (!label->pixmap().isNull()) pictures.push_back(label->pixmap().size());
  EXPECT_THAT(pictures, ElementsAre(QSize(32, 32)));
  const QList<QSize> sizes = qtui::appIcon().availableSizes();
  for (int size : {16, 24, 32, 48, 64, 128, 256}) EXPECT_THAT(sizes, Contains(QSize(size, size)));
}

TEST(ControlLookup, FindsOnlyTheDialogsOwnControls) {
  QWidget window;
  auto* page = new QWidget(&window);
  qtui::buildDialog(page, ui::cameraPageTemplate());
  EXPECT_EQ(qtui::controlWidget(&window, ui::ids::camera_page::kSearch.value), nullptr);  // the page's
  EXPECT_EQ(control(page, ui::ids::camera_page::kSearch)->text(), QStringLiteral("搜索摄像机"));
}

TEST(ControlLookupDeathTest, AControlTheTemplateLacksStopsTheProgramNamingIt) {
  QWidget page;
  qtui::buildDialog(&page, ui::calcPageTemplate());
  // The camera page's list number is not on the calculator page, and its MAC
  // box's number is there, but as another kind of control would be.
  EXPECT_DEATH(control(&page, ui::ids::camera_page::kCameraList), "no control 1009");
  EXPECT_DEATH(control(&page, ui::ControlId<ControlKind::IpAddress>{1001}), "no control 1001");
}

// The number of the control that holds the focus (the address control, when
// one of its fields does).
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
  for (const ui::DialogTemplate* pageTemplate :
       {&ui::cameraPageTemplate(), &ui::calcPageTemplate(), &qtui::networkCheckTemplate(), &qtui::planTemplate()}) {
    QWidget page;
    qtui::buildDialog(&page, *pageTemplate);
    uitest::showActive(page);
    const std::vector<int>& order = pageTemplate->tabOrder;
    qtui::controlWidget(&page, order.front())->setFocus();

    std::vector<int> expected = order;
    expected.push_back(order.front());
    EXPECT_THAT(idsVisitedByTab(page, static_cast<int>(order.size()), Qt::NoModifier), ElementsAreArray(expected));
  }
}

TEST(TabOrder, IsTheListedOrderNotTheCreationOrder) {
  using enum ui::ControlKind;
  const ui::ControlId<Edit> first{11}, third{13};
  const ui::ControlId<IpAddress> second{12};
  const ui::DialogTemplate shuffled{
      "", 200, 100, 8,
      {
          {first, "", {5, 5, 40, 12}},
          {second, "", {5, 20, 100, 15}},
          {third, "", {5, 40, 40, 12}},
          {ui::ControlId<PushButton>{14}, "OK", {5, 60, 40, 14}, ui::Default | ui::Hidden},
          {ui::ControlId<PushButton>{15}, "Go", {5, 80, 40, 14}, ui::NoTabStop},
      },
      {13, 12, 11}};
  QWidget dialog;
  qtui::buildDialog(&dialog, shuffled);
  uitest::showActive(dialog);
  control(&dialog, third)->setFocus();

  EXPECT_THAT(idsVisitedByTab(dialog, 3, Qt::NoModifier), ElementsAre(13, 12, 11, 13));
  EXPECT_THAT(idsVisitedByTab(dialog, 3, Qt::ShiftModifier), ElementsAre(13, 11, 12, 13));
}

TEST(AccessibleNames, BoxesAreNamedByTheTextsLeftAndRightOnTheirRow) {
  QWidget calc;
  qtui::buildDialog(&calc, ui::calcPageTemplate());
  EXPECT_EQ(control(&calc, ui::ids::calc_page::kBitRate)->accessibleName(), QStringLiteral("每路大视频码流大小 kbps"));
  EXPECT_EQ(control(&calc, ui::ids::calc_page::kTerabytes)->accessibleName(), QStringLiteral("（ 约等于 T ）"));

  QWidget camera;
  qtui::buildDialog(&camera, ui::cameraPageTemplate());
  EXPECT_EQ(control(&camera, ui::ids::camera_page::kGateway)->accessibleName(), QStringLiteral("网关"));
  const qtui::IpAddressEdit* newGateway = control(&camera, ui::ids::camera_page::kNewGateway);
  EXPECT_EQ(newGateway->accessibleName(), QStringLiteral("修改为这个网关"));
  const QList<QLineEdit*> fields = newGateway->findChildren<QLineEdit*>();
  ASSERT_FALSE(fields.isEmpty());
  EXPECT_EQ(fields.front()->accessibleName(), QStringLiteral("修改为这个网关 第1段"));
}

TEST(AccessibleNames, ATextViewOrAListIsNamedByTheStaticBeforeItAndTabLeavesATextView) {
  QWidget check;
  qtui::buildDialog(&check, qtui::networkCheckTemplate());
  const QPlainTextEdit* report = control(&check, ui::ids::network_check_dialog::kReport);
  EXPECT_EQ(report->accessibleName(), QStringLiteral("检查结果："));
  EXPECT_TRUE(report->isReadOnly());
  EXPECT_TRUE(report->tabChangesFocus());
  // A list too.
  QWidget plan;
  qtui::buildDialog(&plan, qtui::planTemplate());
  EXPECT_EQ(control(&plan, ui::ids::plan_dialog::kPreview)->accessibleName(), QStringLiteral("规划表中的摄像机："));
}

}  // namespace
