// The calculator page: defaults, figures, the message naming the first bad
// input, the 49-byte limit counted in GBK, and text no one should type.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "support/qt_printers.h"
#include "qt/dialog_builder.h"
#include "qt/calc_page.h"
#include "qt/fake_presenter.h"
#include "res/resource_ids.h"

namespace qtui {
namespace {

using namespace ids::calc_page;
using Input = ControlId<ControlKind::Edit>;

const QString kItem2Invalid = QStringLiteral("第 2 项的数据非法，不是数字 ,仔细检查！");

class CalcPageTest : public testing::Test {
 protected:
  void SetUp() override { page.show(); }

  QLineEdit* edit(Input name) const { return control(&page, name); }
  void retype(Input name, const QString& text) {
    edit(name)->clear();
    QTest::keyClicks(edit(name), text);
  }
  // Calculates; returns the message shown, or the two figures.
  QString calculate() {
    const std::size_t shownBefore = messages.shown.size();
    QTest::mouseClick(control(&page, kCalculate), Qt::LeftButton);
    if (messages.shown.size() > shownBefore) return messages.shown.back().text;
    return edit(kGigabytes)->text() + " G, " + edit(kTerabytes)->text() + " T";
  }
  // Puts the text in the cameras input as an input method would.
  QString calculateWithCameras(const QString& text) {
    edit(kCameras)->setText(text);
    return calculate();
  }

  testsupport::FakePresenter messages;
  CalcPage page{messages, nullptr};
};

TEST_F(CalcPageTest, StartsWithTheDefaultInputsAndEmptyReadOnlyResults) {
  EXPECT_EQ(edit(kBitRate)->text(), "2000");
  EXPECT_EQ(edit(kCameras)->text(), "16");
  EXPECT_EQ(edit(kHoursPerDay)->text(), "24");
  EXPECT_EQ(edit(kDays)->text(), "30");
  EXPECT_EQ(edit(kGigabytes)->text(), "");
  EXPECT_EQ(edit(kTerabytes)->text(), "");
  EXPECT_TRUE(edit(kGigabytes)->isReadOnly());
  EXPECT_TRUE(edit(kTerabytes)->isReadOnly());
}

TEST_F(CalcPageTest, TheDefaultsAndTypedInputsGiveTheirFigures) {
  EXPECT_EQ(calculate(), "9887 G, 9.89 T");
  retype(kBitRate, "4000");
  retype(kCameras, "1");
  retype(kDays, "1");
  EXPECT_EQ(calculate(), "41 G, 0.04 T");
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(CalcPageTest, AResultLongerThanItsBoxShowsItsStart) {
  retype(kBitRate, "2147483647");
  retype(kCameras, "2147483647");
  calculate();
  ASSERT_GT(edit(kGigabytes)->text().size(), 10);
  EXPECT_EQ(edit(kGigabytes)->cursorPosition(), 0);
  EXPECT_EQ(edit(kTerabytes)->cursorPosition(), 0);
}

TEST_F(CalcPageTest, ABadInputIsNamedAndTheResultsStayEmpty) {
  calculate();
  retype(kCameras, "1 6");
  edit(kDays)->setText("三十");  // typed through an input method
  calculate();
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, kItem2Invalid);
  EXPECT_EQ(messages.shown[0].caption, "提示");
  EXPECT_EQ(messages.shown[0].icon, MessageIcon::Exclamation);
  EXPECT_EQ(messages.shown[0].buttons, MessageButtons::Ok);
  EXPECT_EQ(messages.shown[0].owner, &page);
  EXPECT_EQ(edit(kGigabytes)->text(), "");  // the earlier results were cleared first
  EXPECT_EQ(edit(kTerabytes)->text(), "");
  EXPECT_EQ(edit(kCameras)->text(), "1 6");  // inputs stay as typed
}

TEST_F(CalcPageTest, CharactersOutsideAsciiDigitsAreNamedNeverReadAsNumbers) {
  for (const QString& text : {QStringLiteral("１６"), QStringLiteral("16\U0001F4F7"), QStringLiteral("\u0661\u0666"),
                              QStringLiteral("16\u00A0"), QStringLiteral("十六"), QString(QChar(0xFFFD))})
    EXPECT_EQ(calculateWithCameras(text), kItem2Invalid) << text.toStdString();
  EXPECT_EQ(edit(kGigabytes)->text(), "");
}

TEST_F(CalcPageTest, OnlyTheFirst49GbkBytesOfAnInputCount) {
  // Double-byte characters are judged by their GBK bytes, none of which is a
  // digit.
  edit(kBitRate)->setText(QString(24, QChar(0x4E00)) + "1");
  EXPECT_EQ(calculate(), "第 1 项的数据非法，不是数字 ,仔细检查！");
  // A letter at byte 50 goes unnoticed (leading zeros keep the 49 judged
  // digits in range).
  retype(kBitRate, QString(45, '0') + "2000x");
  EXPECT_EQ(calculate(), "9887 G, 9.89 T");
  // A double-byte character across byte 49 leaves its lead byte judged; past
  // the limit, the same character is neither judged nor converted.
  const QString digits48 = QString(46, '0') + "16";
  EXPECT_EQ(calculateWithCameras(digits48 + "一"), kItem2Invalid);
  EXPECT_EQ(calculateWithCameras(digits48 + "0一"), "98876 G, 98.88 T");
}

TEST_F(CalcPageTest, EnterInAnInputCalculates) {
  edit(kHoursPerDay)->setFocus();
  QTest::keyClick(edit(kHoursPerDay), Qt::Key_Return);
  EXPECT_EQ(edit(kGigabytes)->text(), "9887");
}

}  // namespace
}  // namespace qtui
