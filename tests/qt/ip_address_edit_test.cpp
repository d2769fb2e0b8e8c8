// The address control driven by real key events, as a user types into it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QContextMenuEvent>
#include <QTest>
#include <QTimer>

#include "qt/ip_address_edit.h"
#include "ui_test_support.h"

namespace {

using uitest::pressKey;
using uitest::typeKeys;

class IpAddressEditTest : public testing::Test {
 protected:
  void SetUp() override {
    edit_ = new qtui::IpAddressEdit(&window_);
    edit_->setGeometry(10, 10, 162, 24);
    next_ = new QLineEdit(&window_);
    next_->setGeometry(10, 40, 162, 24);
    uitest::showActive(window_);
    edit_->setFocus();
  }

  QLineEdit* field(int index) const { return edit_->findChildren<QLineEdit*>().at(index); }
  // Every field empty, which reads as 0 but is not a typed 0.0.0.0.
  bool blank() const {
    for (int index = 0; index < 4; ++index)
      if (!field(index)->text().isEmpty()) return false;
    return true;
  }

  QWidget window_;
  qtui::IpAddressEdit* edit_ = nullptr;
  QLineEdit* next_ = nullptr;
};

TEST_F(IpAddressEditTest, StartsBlankAndReadsAsZero) {
  EXPECT_TRUE(blank());
  EXPECT_EQ(edit_->address(), 0u);
  EXPECT_EQ(edit_->text(), QStringLiteral("0.0.0.0"));
}

TEST_F(IpAddressEditTest, DottedAddressTypedWithDots) {
  typeKeys("192.168.1.241");
  EXPECT_EQ(edit_->text(), QStringLiteral("192.168.1.241"));
  EXPECT_EQ(edit_->address(), 0xC0A801F1u);  // first field most significant
  EXPECT_FALSE(blank());
}

TEST_F(IpAddressEditTest, FullFieldMovesOnWithoutADot) {
  // Three digits fill a field; two do not, since 12 may still become 120.
  typeKeys("192168100");
  EXPECT_EQ(edit_->text(), QStringLiteral("192.168.100.0"));
  edit_->clear();
  field(0)->setFocus();
  typeKeys("1.125");
  EXPECT_EQ(edit_->text(), QStringLiteral("1.125.0.0"));
}

TEST_F(IpAddressEditTest, DotMovesOnOnlyFromAFieldWithDigits) {
  typeKeys("1..2.3.4");
  EXPECT_EQ(edit_->text(), QStringLiteral("1.2.3.4"));
}

TEST_F(IpAddressEditTest, TypingIntoAFieldReachedByDotReplacesItsText) {
  edit_->setText(QStringLiteral("10.20.30.40"));
  field(0)->selectAll();
  typeKeys("11.9");
  EXPECT_EQ(edit_->text(), QStringLiteral("11.9.30.40"));
}

// The boxes are always filled in by the proposal before the user types, and
// installers type in several ways; each must give what was typed, whatever
// the box held.
TEST_F(IpAddressEditTest, TypedAddressIsTakenWhateverTheBoxHeld) {
  struct Typing {
    const char* keys;
    const char* address;
  };
  const Typing typings[] = {
      {"192.168.1.100", "192.168.1.100"}, {"192.168.1.255", "192.168.1.255"}, {"10.0.0.1", "10.0.0.1"},
      {"192168100100", "192.168.100.100"}, {"255.255.255.0", "255.255.255.0"}, {"1..2.3.4", "1.2.3.4"},
  };
  struct Start {
    const char* name;
    void (*prepare)(qtui::IpAddressEdit&, QLineEdit& firstField);
  };
  const Start starts[] = {
      {"blank", [](qtui::IpAddressEdit&, QLineEdit&) {}},
      {"filled, first field selected by Ctrl+A",
       [](qtui::IpAddressEdit& edit, QLineEdit&) {
         edit.setText(QStringLiteral("192.168.1.241"));
         pressKey(Qt::Key_A, Qt::ControlModifier);
       }},
      {"filled, first field selected by a double click",
       [](qtui::IpAddressEdit& edit, QLineEdit& firstField) {
         edit.setText(QStringLiteral("192.168.1.241"));
         QTest::mouseDClick(&firstField, Qt::LeftButton);
       }},
  };
  for (const Start& start : starts) {
    for (const Typing& typing : typings) {
      SCOPED_TRACE(testing::Message() << start.name << ", typed " << typing.keys);
      edit_->clear();
      field(0)->setFocus();
      start.prepare(*edit_, *field(0));
      ASSERT_EQ(field(0)->selectedText(), field(0)->text());
      typeKeys(typing.keys);
      EXPECT_EQ(edit_->text(), QString::fromLatin1(typing.address));
    }
  }
}

TEST_F(IpAddressEditTest, DotOnASelectedOrFullFieldKeepsItAndMovesOn) {
  edit_->setText(QStringLiteral("192.168.1.241"));
  QTest::mouseClick(field(1), Qt::LeftButton);
  pressKey(Qt::Key_A, Qt::ControlModifier);
  typeKeys(".7");  // 168 kept, 1 replaced
  EXPECT_EQ(edit_->text(), QStringLiteral("192.168.7.241"));

  QTest::mouseClick(field(0), Qt::LeftButton);
  pressKey(Qt::Key_End);  // the caret after 192, a full field
  typeKeys(".10");
  EXPECT_EQ(edit_->text(), QStringLiteral("192.10.7.241"));
}

TEST_F(IpAddressEditTest, TypingOverOneSelectedFieldChangesOnlyThatField) {
  edit_->setText(QStringLiteral("192.168.1.241"));
  QTest::mouseDClick(field(2), Qt::LeftButton);
  typeKeys("20");
  EXPECT_EQ(edit_->text(), QStringLiteral("192.168.20.241"));
  QTest::mouseDClick(field(3), Qt::LeftButton);
  typeKeys("100");
  EXPECT_EQ(edit_->text(), QStringLiteral("192.168.20.100"));
}

TEST_F(IpAddressEditTest, BackspaceDeletesAcrossFieldsOfAFilledBox) {
  edit_->setText(QStringLiteral("192.168.1.241"));
  QTest::mouseClick(field(3), Qt::LeftButton);
  pressKey(Qt::Key_End);
  for (int i = 0; i < 5; ++i) pressKey(Qt::Key_Backspace);  // 241, then back into the third field and its 1
  typeKeys("2.50");
  EXPECT_EQ(edit_->text(), QStringLiteral("192.168.2.50"));
}

TEST_F(IpAddressEditTest, PastedDottedAddressFillsAllFourFields) {
  edit_->setText(QStringLiteral("192.168.1.241"));
  QTest::mouseClick(field(2), Qt::LeftButton);
  QApplication::clipboard()->setText(QStringLiteral(" 10.20.30.40\n"));
  pressKey(Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(edit_->text(), QStringLiteral("10.20.30.40"));

  for (const char* notAnAddress : {"10.20.x.40", "1.2.3.4.5", "10.20", "1.2.3.1000"}) {
    QApplication::clipboard()->setText(QString::fromLatin1(notAnAddress));
    pressKey(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit_->text(), QStringLiteral("10.20.30.40")) << "pasted " << notAnAddress;
  }

  // From the field's own menu: Paste (&P), chosen by its key.
  QApplication::clipboard()->setText(QStringLiteral("192.168.1.100"));
  QTimer::singleShot(0, [] {
    if (!QTest::qWaitFor([] { return QApplication::activePopupWidget(); })) return;
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_P);
  });
  QContextMenuEvent rightClick(QContextMenuEvent::Mouse, QPoint(2, 2), field(1)->mapToGlobal(QPoint(2, 2)));
  QApplication::sendEvent(field(1), &rightClick);
  EXPECT_EQ(edit_->text(), QStringLiteral("192.168.1.100"));
}

TEST_F(IpAddressEditTest, BackspaceInAnEmptyFieldGoesBackToThePreviousOne) {
  typeKeys("10.");
  pressKey(Qt::Key_Backspace);  // second field is empty: back to the end of the first
  pressKey(Qt::Key_Backspace);  // deletes the 0
  typeKeys("9.5");
  EXPECT_EQ(edit_->text(), QStringLiteral("19.5.0.0"));
}

TEST_F(IpAddressEditTest, ArrowsCrossFieldEdges) {
  typeKeys("10");
  pressKey(Qt::Key_Right);  // end of the first field: into the second
  pressKey(Qt::Key_Right);  // the second is empty: on into the third
  typeKeys("5");
  pressKey(Qt::Key_Left);
  pressKey(Qt::Key_Left);  // start of the third: back to the second
  typeKeys("7");
  EXPECT_EQ(edit_->text(), QStringLiteral("10.7.5.0"));
}

TEST_F(IpAddressEditTest, ValueOver255BecomesTheMaximum) {
  // The field is cut to 255 and keeps the caret, so the next digit does not
  // silently land in the following field.
  typeKeys("300");
  EXPECT_EQ(edit_->text(), QStringLiteral("255.0.0.0"));
  EXPECT_TRUE(field(0)->hasFocus());
  typeKeys(".1");
  EXPECT_EQ(edit_->text(), QStringLiteral("255.1.0.0"));

  edit_->clear();
  field(0)->setFocus();
  typeKeys("1.2.3.999");
  EXPECT_EQ(edit_->text(), QStringLiteral("1.2.3.255"));
}

TEST_F(IpAddressEditTest, PastedValueOver255BecomesTheMaximumWhenTheFieldIsLeft) {
  QApplication::clipboard()->setText(QStringLiteral("300"));
  pressKey(Qt::Key_V, Qt::ControlModifier);
  ASSERT_EQ(field(0)->text(), QStringLiteral("300"));
  pressKey(Qt::Key_Tab);
  EXPECT_EQ(field(0)->text(), QStringLiteral("255"));
}

TEST_F(IpAddressEditTest, BlankFieldsReadAsZero) {
  typeKeys("10");
  pressKey(Qt::Key_Right);
  pressKey(Qt::Key_Right);
  typeKeys("5");
  EXPECT_FALSE(blank());
  EXPECT_EQ(edit_->address(), 0x0A000500u);
  EXPECT_EQ(edit_->text(), QStringLiteral("10.0.5.0"));

  edit_->clear();
  EXPECT_TRUE(blank());
  EXPECT_EQ(edit_->address(), 0u);
}

TEST_F(IpAddressEditTest, SetTextParsesDottedText) {
  edit_->setText(QStringLiteral("192.168.1.241"));
  EXPECT_EQ(edit_->address(), 0xC0A801F1u);

  edit_->setText(QStringLiteral("1.2"));
  EXPECT_EQ(edit_->text(), QStringLiteral("1.2.0.0"));

  edit_->setText(QStringLiteral("999.07.1.1"));
  EXPECT_EQ(edit_->text(), QStringLiteral("255.7.1.1"));
}

TEST_F(IpAddressEditTest, SetTextLeavesMalformedPartsBlank) {
  edit_->setText(QStringLiteral("192.x.1.2345"));
  EXPECT_EQ(edit_->text(), QStringLiteral("192.0.1.0"));
  EXPECT_TRUE(field(1)->text().isEmpty());
  EXPECT_TRUE(field(3)->text().isEmpty());

  for (const char* malformed : {"", "a.b.c.d", "-1. 2.+3.1e2", "1234"}) {
    edit_->setText(QString::fromLatin1(malformed));
    EXPECT_TRUE(blank()) << malformed;
  }
}

TEST_F(IpAddressEditTest, TabLeavesTheControlFromAnyField) {
  pressKey(Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), next_);

  pressKey(Qt::Key_Tab, Qt::ShiftModifier);  // back in: at the first field
  EXPECT_EQ(QApplication::focusWidget(), field(0));

  QTest::mouseClick(field(2), Qt::LeftButton);
  ASSERT_EQ(QApplication::focusWidget(), field(2));
  pressKey(Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), next_);
}

TEST_F(IpAddressEditTest, FieldsAreNamedAfterTheControl) {
  edit_->setLabel(QStringLiteral("修改为这个IP"));
  EXPECT_EQ(edit_->accessibleName(), QStringLiteral("修改为这个IP"));
  for (int i = 0; i < 4; ++i)
    EXPECT_EQ(field(i)->accessibleName(), QStringLiteral("修改为这个IP 第%1段").arg(i + 1));
}

TEST_F(IpAddressEditTest, CanBeDestroyedWhileAFieldHasTheFocus) {
  typeKeys("1.2");
  delete edit_;
  edit_ = nullptr;
  EXPECT_EQ(QApplication::focusWidget(), nullptr);
}

}  // namespace
