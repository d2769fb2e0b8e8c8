#include "support/private_network.h"

#include <ifaddrs.h>
#include <net/if.h>

namespace testsupport {

bool onlyLoopbackPresent(std::string& firstOther) {
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return false;
  bool onlyLoopback = true;
  for (const ifaddrs* entry = list; entry; entry = entry->ifa_next) {
    if (!(entry->ifa_flags & IFF_LOOPBACK)) {
      firstOther = entry->ifa_name;
      onlyLoopback = false;
      break;
    }
  }
  freeifaddrs(list);
  return onlyLoopback;
}

}  // namespace testsupport
