// Every template, laid out in the dialog font at 96 DPI, must fit the area it
// is shown in, and every text must fit its control.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QFontInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRect>
#include <QScreen>
#include <QWidget>
#include <string>
#include <vector>

#include "support/qt_printers.h"
#include "qt/dialog_builder.h"
#include "res/dialog_template.h"
#include "qt/dialog_units.h"
#include "res/dialog_templates.h"
#include "res/resource_ids.h"
#include "qt/tab_rectangles.h"
#include "res/tab_layout.h"

namespace {

using testing::IsEmpty;

TEST(DialogUnits, RoundHalfAwayFromZeroLikeMulDiv) {
  EXPECT_EQ(qtui::mulDiv(543, 6, 4), 815);  // 814.5
  EXPECT_EQ(qtui::mulDiv(270, 13, 8), 439);  // 438.75
  EXPECT_EQ(qtui::mulDiv(5, 1, 4), 1);       // 1.25
  EXPECT_EQ(qtui::mulDiv(-6, 1, 4), -2);     // -1.5
}

TEST(DialogUnits, ConvertEachCoordinateOnItsOwn) {
  // Converting x + width instead would give a width of 1 here.
  EXPECT_EQ(qtui::toPixels(ui::DialogRect{1, 3, 1, 3}, {6, 12}), QRect(2, 5, 2, 5));
  EXPECT_EQ(qtui::toPixels(554, 290, {6, 13}), QSize(831, 471));
}

TEST(DialogFont, IsInstalledHere) {
  for (int pointSize : {8, 9}) {
    const QFont font = qtui::dialogFont(pointSize);
    EXPECT_EQ(QFontInfo(font).family(), font.family()) << pointSize << " pt falls back to another face";
  }
}

TEST(PageRectangle, LiesInsideTheTabControlBelowItsTabsAndFollowsOnlyItsSize) {
  QWidget mainWindow;
  qtui::buildDialog(&mainWindow, ui::mainWindowTemplate());
  const QRect tabs = qtui::tabControlRectangle(mainWindow.size());
  const QRect page = qtui::pageRectangle(tabs.size());
  EXPECT_TRUE(tabs.contains(page));
  EXPECT_GT(page.top(), tabs.top());
  const QRect larger = qtui::pageRectangle(tabs.size() + QSize(100, 50));
  EXPECT_EQ(larger.topLeft(), page.topLeft());
  EXPECT_EQ(larger.size(), page.size() + QSize(100, 50));
}

TEST(DialogFont, PagesAreDrawnAtTheTemplatesSizesReadablyAndNearTheWindowsOwn) {
  const int window = QFontInfo(qtui::dialogFont(9)).pixelSize();
  const int page = QFontInfo(qtui::dialogFont(8)).pixelSize();
  EXPECT_EQ(window, 12);
  EXPECT_EQ(page, 11) << "8 pt at 96 DPI";
}

TEST(PageRectangle, TheMainWindowGrowsOnlyWhereAPageWouldNotFitAndThenFitsItExactly) {
  using ui::tab_layout::clientFitting;
  const auto same = clientFitting({900, 600}, {700, 400});
  EXPECT_EQ(same.width, 900);
  EXPECT_EQ(same.height, 600);
  const auto grown = clientFitting({900, 600}, {850, 500});
  const auto tabs = ui::tab_layout::tabControl(grown.width, grown.height);
  const auto page = ui::tab_layout::page(tabs.width, tabs.height);
  EXPECT_EQ(page.width, 850);
  EXPECT_EQ(page.height, 500);
}

struct TemplateCase {
  const char* name;
  const ui::DialogTemplate& (*dialogTemplate)();
  bool isTabPage;
};

void PrintTo(const TemplateCase& c, std::ostream* out) { *out << c.name; }

// Where the dialog's controls must lie, in its own coordinates: a tab page is
// clipped to the main window's page rectangle, a window to its client area.
QRect visibleArea(const TemplateCase& c, const QWidget& dialog) {
  if (!c.isTabPage) return dialog.rect();
  QWidget mainWindow;
  qtui::buildDialog(&mainWindow, ui::mainWindowTemplate());
  const QSize client = qtui::mainWindowClientSize(mainWindow.size());
  const QRect page = qtui::pageRectangle(qtui::tabControlRectangle(client).size());
  return QRect(QPoint(0, 0), page.size());
}

std::string describe(const QWidget& control, const QString& text) {
  const QRect r = control.geometry();
  return QStringLiteral("%1 %2 \"%3\" at %4,%5 %6x%7")
      .arg(control.metaObject()->className(), control.objectName(), text)
      .arg(r.x())
      .arg(r.y())
      .arg(r.width())
      .arg(r.height())
      .toStdString();
}

QString textOf(const QWidget& control) {
  if (const auto* label = qobject_cast<const QLabel*>(&control)) return label->text();
  if (const auto* button = qobject_cast<const QPushButton*>(&control)) return button->text();
  if (const auto* frame = qobject_cast<const QGroupBox*>(&control)) return frame->title();
  return {};
}

bool textFits(const QWidget& control, const QString& text) {
  const QFontMetrics metrics = control.fontMetrics();
  const auto* label = qobject_cast<const QLabel*>(&control);
  if (label && label->wordWrap()) {
    const QRect wrapped = metrics.boundingRect(QRect(0, 0, control.width(), 10000), Qt::TextWordWrap, text);
    return wrapped.width() <= control.width() && wrapped.height() <= control.height();
  }
  return metrics.horizontalAdvance(text) <= control.width();
}

std::vector<QWidget*> visibleControls(const QWidget& dialog) {
  std::vector<QWidget*> visible;
  for (QWidget* control : dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    if (!control->isHidden()) visible.push_back(control);
  return visible;
}

class TemplateLayout : public testing::TestWithParam<TemplateCase> {
 protected:
  void SetUp() override {
    ASSERT_DOUBLE_EQ(dialog_.screen()->logicalDotsPerInch(), 96.0);
    qtui::buildDialog(&dialog_, GetParam().dialogTemplate());
  }
  QWidget dialog_;
};

TEST_P(TemplateLayout, EveryVisibleControlLiesInsideTheVisibleArea) {
  const QRect area = visibleArea(GetParam(), dialog_);
  std::vector<std::string> outside;
  for (const QWidget* control : visibleControls(dialog_))
    if (!area.contains(control->geometry())) outside.push_back(describe(*control, textOf(*control)));
  EXPECT_THAT(outside, IsEmpty()) << "area " << area.width() << "x" << area.height();
}

TEST_P(TemplateLayout, NoTextIsWiderThanItsControl) {
  std::vector<std::string> tooWide;
  for (const QWidget* control : visibleControls(dialog_)) {
    const QString text = textOf(*control);
    if (!textFits(*control, text)) tooWide.push_back(describe(*control, text));
  }
  EXPECT_THAT(tooWide, IsEmpty());
}

TEST_P(TemplateLayout, SizeIsFixedAtTheTemplateSize) {
  const ui::DialogTemplate& dialogTemplate = GetParam().dialogTemplate();
  const qtui::BaseUnits units = qtui::baseUnits(qtui::dialogFont(dialogTemplate.pointSize));
  EXPECT_EQ(dialog_.size(), qtui::toPixels(dialogTemplate.width, dialogTemplate.height, units));
  EXPECT_EQ(dialog_.minimumSize(), dialog_.size());
  EXPECT_EQ(dialog_.maximumSize(), dialog_.size());
}

INSTANTIATE_TEST_SUITE_P(AllTemplates, TemplateLayout,
                         testing::Values(TemplateCase{"About", &ui::aboutTemplate, false},
                                         TemplateCase{"MainWindow", &ui::mainWindowTemplate, false},
                                         TemplateCase{"CameraPage", &ui::cameraPageTemplate, true},
                                         TemplateCase{"CalcPage", &ui::calcPageTemplate, true},
                                         TemplateCase{"NetworkCheck", &qtui::networkCheckTemplate, false},
                                         TemplateCase{"Plan", &qtui::planTemplate, false}),
                         [](const testing::TestParamInfo<TemplateCase>& info) { return info.param.name; });

// The tab control is moved when the main window opens; it must still leave
// the Close button clear.
TEST(MainWindowLayout, MovedTabControlLeavesTheCloseButtonClear) {
  QWidget mainWindow;
  qtui::buildDialog(&mainWindow, ui::mainWindowTemplate());
  const QRect tabs = qtui::tabControlRectangle(mainWindow.size());
  const QRect close = qtui::control(&mainWindow, ui::ids::main_window::kClose)->geometry();
  EXPECT_TRUE(mainWindow.rect().contains(tabs));
  EXPECT_FALSE(tabs.intersects(close));
}

}  // namespace
