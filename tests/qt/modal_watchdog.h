// A test that leaves a modal window open would wait on it for ever, until
// ctest kills the whole suite. The watchdog fails such a test instead, and
// closes the window, once that one window has been waiting kModalWait.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <chrono>

namespace uitest {

class ModalWatchdog : public testing::EmptyTestEventListener {
 public:
  static constexpr std::chrono::seconds kModalWait{30};

  ModalWatchdog() {
    timer_.setInterval(std::chrono::seconds(1));
    QObject::connect(&timer_, &QTimer::timeout, [this] { look(); });
  }

  void OnTestStart(const testing::TestInfo&) override {
    waiting_ = nullptr;
    timer_.start();
  }
  void OnTestEnd(const testing::TestInfo&) override { timer_.stop(); }

 private:
  void look() {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal != waiting_) {
      waiting_ = modal;
      since_.start();
      return;
    }
    if (!modal || !since_.hasExpired(std::chrono::milliseconds(kModalWait).count())) return;
    ADD_FAILURE() << "a modal window (\"" << modal->windowTitle().toStdString() << "\") waited for "
                  << kModalWait.count() << " s; the watchdog closed it";
    if (auto* dialog = qobject_cast<QDialog*>(modal))
      dialog->reject();
    else
      modal->close();
  }

  QTimer timer_;
  QPointer<QWidget> waiting_;
  QElapsedTimer since_;
};

// RUN_ALL_TESTS() with a watchdog, removed again while Qt is still there.
inline int runAllTestsWatched() {
  auto* watchdog = new ModalWatchdog;
  testing::UnitTest::GetInstance()->listeners().Append(watchdog);
  const int result = RUN_ALL_TESTS();
  delete testing::UnitTest::GetInstance()->listeners().Release(watchdog);
  return result;
}

}  // namespace uitest
