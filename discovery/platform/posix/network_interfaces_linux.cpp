#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

#include <algorithm>
#include <cstring>

#include "discovery/network_interfaces.h"

namespace discovery {

std::vector<NetworkInterface> listIpv4Interfaces() {
  std::vector<NetworkInterface> interfaces;
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return interfaces;
  for (const ifaddrs* entry = list; entry; entry = entry->ifa_next) {
    if (!entry->ifa_addr || entry->ifa_addr->sa_family != AF_INET) continue;
    const unsigned index = if_nametoindex(entry->ifa_name);
    // An interface with several addresses is listed once, with its first.
    if (std::any_of(interfaces.begin(), interfaces.end(), [&](const auto& known) { return known.index == index; }))
      continue;
    NetworkInterface interface;
    interface.name = entry->ifa_name;
    interface.index = index;
    std::memcpy(interface.address.data(), &reinterpret_cast<const sockaddr_in*>(entry->ifa_addr)->sin_addr, 4);
    interface.up = (entry->ifa_flags & IFF_UP) && (entry->ifa_flags & IFF_RUNNING);
    interface.multicast = entry->ifa_flags & IFF_MULTICAST;
    interface.loopback = entry->ifa_flags & IFF_LOOPBACK;
    interfaces.push_back(interface);
  }
  freeifaddrs(list);
  std::sort(interfaces.begin(), interfaces.end(), [](const auto& a, const auto& b) { return a.index < b.index; });
  return interfaces;
}

}  // namespace discovery
