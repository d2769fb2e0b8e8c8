// The calculator page with text no one should type: characters GBK lacks,
// digits that are not ASCII, a double-byte character across the 49-byte
// limit, nothing at all. The page shows the designed message or figures.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "ui/dialog_builder.h"
#include "ui/dlg_calc_disk.h"
#include "ui/fake_presenter.h"

namespace ui {
namespace {

constexpr int kInputs[] = {1001, 1002, 1003, 1004};
constexpr int kGigabytesBox = 1005;
constexpr int kTerabytesBox = 1006;

class CalcPageInputTest : public testing::Test {
 protected:
  void SetUp() override { page.show(); }

  QLineEdit* edit(int id) const { return control<QLineEdit>(&page, id); }
  // Types the cameras input (as an input method would) and calculates;
  // returns the message shown, or the two figures.
  QString calculateWithCameras(const QString& text) {
    edit(1002)->setText(text);
    return calculate();
  }
  QString calculate() {
    const std::size_t shownBefore = messages.shown.size();
    QTest::mouseClick(control<QPushButton>(&page, 1018), Qt::LeftButton);
    if (messages.shown.size() > shownBefore) return messages.shown.back().text;
    return edit(kGigabytesBox)->text() + " G, " + edit(kTerabytesBox)->text() + " T";
  }

  testsupport::FakePresenter messages;
  CDlgCalcDisk page{messages, nullptr};
};

const QString kItem2Invalid = QStringLiteral("第 2 项的数据非法，不是数字 ,仔细检查！");

TEST_F(CalcPageInputTest, CharactersOutsideAsciiDigitsAreNamedNeverReadAsNumbers) {
  for (const QString& text : {QStringLiteral("１６"), QStringLiteral("16\U0001F4F7"), QStringLiteral("\u0661\u0666"),
                              QStringLiteral("16\u00A0"), QStringLiteral("十六"), QString(QChar(0xFFFD))})
    EXPECT_EQ(calculateWithCameras(text), kItem2Invalid) << text.toStdString();
  EXPECT_EQ(edit(kGigabytesBox)->text(), "");
}

TEST_F(CalcPageInputTest, ADoubleByteCharacterAcrossByte49LeavesItsLeadByteJudged) {
  const QString digits48 = QString(46, '0') + "16";
  EXPECT_EQ(calculateWithCameras(digits48 + "一"), kItem2Invalid);
  // Past the limit, the same character is neither judged nor converted.
  EXPECT_EQ(calculateWithCameras(digits48 + "0一"), "98876 G, 98.88 T");
}

TEST_F(CalcPageInputTest, AllInputsEmptyGiveZero) {
  for (const int id : kInputs) edit(id)->clear();
  EXPECT_EQ(calculate(), "0 G, 0.00 T");
  EXPECT_TRUE(messages.shown.empty());
}

}  // namespace
}  // namespace ui
