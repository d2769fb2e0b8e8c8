// Test main for the end-to-end tests: they run only inside the PC namespace of
// a lab (tools/lab/tovalen-lab run), with an offscreen application.
#include <gmock/gmock.h>

#include <QApplication>
#include <cstdio>
#include <string>

#include "lab/lab_network.h"

int main(int argc, char** argv) {
  testing::InitGoogleMock(&argc, argv);
  std::string why;
  if (!labtest::insideLabPc(why)) {
    std::fprintf(stderr, "refusing to run: %s\n", why.c_str());
    return 1;
  }
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  const int status = RUN_ALL_TESTS();
  // A filter that matches nothing (a renamed test) must not pass for a proof.
  if (testing::UnitTest::GetInstance()->test_to_run_count() == 0) {
    std::fprintf(stderr, "no test matches the filter\n");
    return 1;
  }
  return status;
}
