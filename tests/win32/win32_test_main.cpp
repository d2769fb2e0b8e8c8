// Test main for the tests that drive tovalen.exe: they run under Wine beside
// the cameras of tools/lab/tovalen-try (tests/run-under-wine.sh checks that
// the namespace is tovalen-try's), on a display of their own, and refuse
// anywhere else.
#include <gmock/gmock.h>

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "discovery/datagram_socket.h"
#include "discovery/host_network.h"

int main(int argc, char** argv) {
  testing::InitGoogleMock(&argc, argv);
  const char* tryNamespace = std::getenv("TOVALEN_TRY_NETNS");
  const auto adapters = discovery::SystemNetwork().adapters();
  // tovalen-try's PC has loopback and its bridge, 192.168.1.10, and nothing else.
  bool onlyTheTryNetwork = adapters.has_value();
  for (const discovery::Adapter& adapter : adapters.value_or(std::vector<discovery::Adapter>{}))
    onlyTheTryNetwork = onlyTheTryNetwork && (adapter.loopback || adapter.address() == discovery::Ipv4Bytes{192, 168, 1, 10});
  if (!tryNamespace || !*tryNamespace || !onlyTheTryNetwork) {
    std::fprintf(stderr, "refusing to run: not beside the cameras of tools/lab/tovalen-try "
                         "(run through tools/lab/tovalen-try ... tests/run-under-wine.sh --display)\n");
    return 1;
  }
  const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                      ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES | ICC_INTERNET_CLASSES};
  InitCommonControlsEx(&controls);
  // The program's windows are DPI-aware: the tests see their pixels unscaled.
  SetProcessDPIAware();
  const discovery::SocketLibrary sockets;
  return RUN_ALL_TESTS();
}
