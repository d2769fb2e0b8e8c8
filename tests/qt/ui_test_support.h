// Helpers for driving widgets the way a user does: keys go to whichever
// widget has the focus, in an active window.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QString>
#include <QTest>
#include <QWidget>

#include "support/qt_printers.h"

namespace uitest {

// Focus moves and focus events happen only in the active window.
inline void showActive(QWidget& window) {
  window.show();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
}

inline void pressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  ASSERT_NE(QApplication::focusWidget(), nullptr);
  QTest::keyClick(QApplication::focusWidget(), key, modifiers);
}

// One key press per character, each to the widget that has the focus then.
inline void typeKeys(const char* keys) {
  for (; *keys; ++keys) {
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    QTest::keyClicks(QApplication::focusWidget(), QString(QLatin1Char(*keys)));
  }
}

}  // namespace uitest
