// Test main for widget tests whose windows open the discovery channel: an
// offscreen application, inside a private network namespace only.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "support/private_network.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  std::string other;
  if (!testsupport::onlyLoopbackPresent(other)) {
    std::fprintf(stderr, "refusing to run: interface '%s' is present; run inside a private network namespace\n",
                 other.c_str());
    return 1;
  }
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication application(argc, argv);
  return RUN_ALL_TESTS();
}
