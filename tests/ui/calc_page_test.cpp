#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "ui/dialog_builder.h"
#include "ui/dlg_calc_disk.h"
#include "ui/fake_presenter.h"

namespace ui {
namespace {

using testsupport::FakePresenter;

class CalcPageTest : public testing::Test {
 protected:
  void SetUp() override { page.show(); }

  QLineEdit* edit(int id) const { return control<QLineEdit>(&page, id); }
  void retype(int id, const QString& text) {
    edit(id)->clear();
    QTest::keyClicks(edit(id), text);
  }
  void calculate() { QTest::mouseClick(control<QPushButton>(&page, 1018), Qt::LeftButton); }

  FakePresenter messages;
  CDlgCalcDisk page{messages, nullptr};
};

TEST_F(CalcPageTest, StartsWithTheDefaultInputsAndEmptyResults) {
  EXPECT_EQ(edit(1001)->text(), "2000");
  EXPECT_EQ(edit(1002)->text(), "16");
  EXPECT_EQ(edit(1003)->text(), "24");
  EXPECT_EQ(edit(1004)->text(), "30");
  EXPECT_EQ(edit(1005)->text(), "");
  EXPECT_EQ(edit(1006)->text(), "");
  EXPECT_TRUE(edit(1005)->isReadOnly());
  EXPECT_TRUE(edit(1006)->isReadOnly());
}

TEST_F(CalcPageTest, DefaultsGive9887GbAndAbout9Point89Tb) {
  calculate();
  EXPECT_EQ(edit(1005)->text(), "9887");
  EXPECT_EQ(edit(1006)->text(), "9.89");
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(CalcPageTest, TypedInputsAreUsed) {
  retype(1001, "4000");
  retype(1002, "1");
  retype(1004, "1");
  calculate();
  EXPECT_EQ(edit(1005)->text(), "41");
  EXPECT_EQ(edit(1006)->text(), "0.04");
}

TEST_F(CalcPageTest, ABadInputIsNamedAndTheResultsStayEmpty) {
  calculate();
  retype(1002, "1 6");
  edit(1004)->setText("三十");  // typed through an input method
  calculate();
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, "第 2 项的数据非法，不是数字 ,仔细检查！");
  EXPECT_EQ(messages.shown[0].caption, "提示");
  EXPECT_EQ(messages.shown[0].icon, MessageIcon::Exclamation);
  EXPECT_EQ(messages.shown[0].buttons, MessageButtons::Ok);
  EXPECT_EQ(messages.shown[0].owner, &page);
  EXPECT_EQ(edit(1005)->text(), "");  // the earlier results were cleared first
  EXPECT_EQ(edit(1006)->text(), "");
  EXPECT_EQ(edit(1002)->text(), "1 6");  // inputs stay as typed
}

TEST_F(CalcPageTest, OnlyTheFirst49GbkBytesOfAnInputCount) {
  // Double-byte characters are judged by their GBK bytes, none of which is a
  // digit.
  edit(1001)->setText(QString(24, QChar(0x4E00)) + "1");
  calculate();
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, "第 1 项的数据非法，不是数字 ,仔细检查！");
  // A letter at byte 50 goes unnoticed (leading zeros keep the 49 judged
  // digits in range).
  retype(1001, QString(45, '0') + "2000x");
  calculate();
  EXPECT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(edit(1005)->text(), "9887");
}

TEST_F(CalcPageTest, EnterInAnInputCalculates) {
  edit(1003)->setFocus();
  QTest::keyClick(edit(1003), Qt::Key_Return);
  EXPECT_EQ(edit(1005)->text(), "9887");
}

}  // namespace
}  // namespace ui
