#include "support/private_network.h"

#include <net/if.h>

namespace testsupport {

bool onlyLoopbackPresent(std::string& firstOther) {
  // Every interface counts here, addressed or not, so the adapter list (which
  // knows only those with an IPv4 address) is not the judge.
  struct if_nameindex* interfaces = if_nameindex();
  if (!interfaces) return false;
  bool onlyLoopback = true;
  for (const struct if_nameindex* entry = interfaces; entry->if_index != 0; ++entry) {
    if (std::string(entry->if_name) != "lo") {
      firstOther = entry->if_name;
      onlyLoopback = false;
      break;
    }
  }
  if_freenameindex(interfaces);
  return onlyLoopback;
}

}  // namespace testsupport
