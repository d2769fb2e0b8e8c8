// Windows: the adapters as the system lists them, whatever their addresses.
// Under Wine, in a private network namespace, the loopback is the only one.
#include "support/private_network.h"

#include "discovery/platform/windows/adapter_list.h"

namespace testsupport {

bool onlyLoopbackPresent(std::string& firstOther) {
  const auto list = discovery::AdapterList::read(AF_UNSPEC, GAA_FLAG_INCLUDE_ALL_INTERFACES);
  if (!list) {
    firstOther = "(the adapter list could not be read)";
    return false;
  }
  for (const IP_ADAPTER_ADDRESSES* entry = list->first(); entry; entry = entry->Next) {
    if (entry->IfType == IF_TYPE_SOFTWARE_LOOPBACK) continue;
    firstOther = discovery::friendlyName(*entry);
    return false;
  }
  return true;
}

}  // namespace testsupport
