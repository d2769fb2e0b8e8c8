// Test main for tests that open sockets: refuses to run anywhere but in a
// private namespace whose only interface is loopback. Built for the window
// tests (TOVALEN_TEST_WINDOWS), it also makes the offscreen application and
// its watchdog for modal windows left waiting.
#include <gmock/gmock.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "discovery/datagram_socket.h"
#include "support/private_network.h"

#ifdef TOVALEN_TEST_WINDOWS
#include <QApplication>

#include "qt/modal_watchdog.h"
#endif

int main(int argc, char** argv) {
  testing::InitGoogleMock(&argc, argv);
  std::string other;
  if (!testsupport::onlyLoopbackPresent(other)) {
    std::fprintf(stderr, "refusing to run: interface '%s' is present; run inside a private network namespace "
                         "(tests/run-in-netns.sh)\n", other.c_str());
    return 1;
  }
  const discovery::SocketLibrary sockets;
#ifdef TOVALEN_TEST_WINDOWS
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  return uitest::runAllTestsWatched();
#else
  return RUN_ALL_TESTS();
#endif
}
