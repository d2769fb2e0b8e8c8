// Test main for tests that open sockets: refuses to run anywhere but in a
// private namespace whose only interface is loopback.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "discovery/datagram_socket.h"
#include "support/private_network.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  std::string other;
  if (!testsupport::onlyLoopbackPresent(other)) {
    std::fprintf(stderr, "refusing to run: interface '%s' is present; run inside a private network namespace "
                         "(tests/run-in-netns.sh)\n", other.c_str());
    return 1;
  }
  const discovery::SocketLibrary sockets;
  return RUN_ALL_TESTS();
}
