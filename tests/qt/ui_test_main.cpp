// Test main for the widget tests: one QApplication for all of them, on the
// offscreen platform unless the environment asks for another, and a watchdog
// for modal windows left waiting.
#include <gmock/gmock.h>

#include <QApplication>

#include "qt/modal_watchdog.h"

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  testing::InitGoogleMock(&argc, argv);
  QApplication application(argc, argv);
  return uitest::runAllTestsWatched();
}
