// Linux adapter list: the non-loopback interfaces that have an IPv4 address,
// in interface-index order, each with the gateway of its first IPv4 default
// route in the kernel's main routing table.
#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <net/route.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "discovery/gateway.h"

namespace discovery {
namespace {

// Interface name -> gateway text of its first default route, from
// /proc/net/route (addresses there are the raw network-order words in hex).
std::map<std::string, std::string> firstDefaultGateways() {
  std::map<std::string, std::string> gateways;
  std::ifstream table("/proc/net/route");
  std::string line;
  std::getline(table, line);  // column titles
  while (std::getline(table, line)) {
    std::istringstream fields(line);
    std::string name, destination, gateway, flags, refCount, use, metric, mask;
    if (!(fields >> name >> destination >> gateway >> flags >> refCount >> use >> metric >> mask)) continue;
    const auto routeFlags = std::stoul(flags, nullptr, 16);
    if (destination != "00000000" || mask != "00000000" || !(routeFlags & RTF_UP)) continue;
    if (gateways.count(name)) continue;
    std::string text;
    if (routeFlags & RTF_GATEWAY) {
      in_addr address{};
      address.s_addr = static_cast<std::uint32_t>(std::stoul(gateway, nullptr, 16));
      char buffer[INET_ADDRSTRLEN] = {};
      if (inet_ntop(AF_INET, &address, buffer, sizeof buffer)) text = buffer;
    }
    gateways.emplace(name, text);
  }
  return gateways;
}

}  // namespace

bool listAdapterGateways(std::vector<AdapterGateway>& adapters) {
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return false;
  std::map<unsigned, std::string> byIndex;
  for (const ifaddrs* entry = list; entry; entry = entry->ifa_next) {
    if (!entry->ifa_addr || entry->ifa_addr->sa_family != AF_INET || (entry->ifa_flags & IFF_LOOPBACK))
      continue;
    byIndex.emplace(if_nametoindex(entry->ifa_name), entry->ifa_name);
  }
  freeifaddrs(list);

  const auto gateways = firstDefaultGateways();
  adapters.clear();
  for (const auto& [index, name] : byIndex) {
    const auto found = gateways.find(name);
    adapters.push_back({name, found == gateways.end() ? std::string() : found->second});
  }
  return true;
}

}  // namespace discovery
