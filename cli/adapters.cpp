// adapters: the network check's report, after it has listened through the
// camera page's channel.
#include <iostream>

#include "cli/commands.h"
#include "cli/confirmation.h"
#include "pages/network_check.h"

namespace cli {

int runAdapters(const Context& context) {
  CameraSession session(context, false);
  // A channel that did not open is one of the things the report tells.
  session.page().open();
  pages::SystemInspector inspector;
  pages::NetworkCheck check(session.multicastChannel().multicast(), inspector);
  check.begin();
  session.runFor(pages::kNetworkCheckListen, [] { return false; });
  std::cout << terminalLines(check.report().text()) << std::flush;
  return std::cout ? kExitDone : kExitFailed;
}

}  // namespace cli
