// Linux: every interface with an IPv4 address, in interface-index order, with
// the gateway of its first IPv4 default route in the kernel's main routing
// table.
#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <net/route.h>

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstring>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>

#include "discovery/host_network.h"

namespace discovery {
namespace {

std::optional<std::uint32_t> hexWord(std::string_view text) {
  std::uint32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
  if (error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// Interface name -> gateway text of its first default route, from
// /proc/net/route (addresses there are the raw network-order words in hex).
// A line that does not read as expected is skipped.
std::map<std::string, std::string> firstDefaultGateways() {
  std::map<std::string, std::string> gateways;
  std::ifstream table("/proc/net/route");
  std::string line;
  std::getline(table, line);  // column titles
  while (std::getline(table, line)) {
    std::istringstream fields(line);
    std::string name, destination, gateway, flags, refCount, use, metric, mask;
    if (!(fields >> name >> destination >> gateway >> flags >> refCount >> use >> metric >> mask)) continue;
    const auto routeFlags = hexWord(flags);
    const auto gatewayWord = hexWord(gateway);
    if (!routeFlags || !gatewayWord || hexWord(destination) != 0u || hexWord(mask) != 0u || !(*routeFlags & RTF_UP) ||
        gateways.count(name))
      continue;
    std::string text;
    if (*routeFlags & RTF_GATEWAY) {
      in_addr address{};
      address.s_addr = *gatewayWord;
      char buffer[INET_ADDRSTRLEN] = {};
      if (inet_ntop(AF_INET, &address, buffer, sizeof buffer)) text = buffer;
    }
    gateways.emplace(name, text);
  }
  return gateways;
}

}  // namespace

std::optional<std::vector<Adapter>> SystemNetwork::adapters() {
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return std::nullopt;
  std::vector<Adapter> adapters;
  for (const ifaddrs* entry = list; entry; entry = entry->ifa_next) {
    if (!entry->ifa_addr || entry->ifa_addr->sa_family != AF_INET) continue;
    AssignedAddress assigned;
    std::memcpy(assigned.address.data(), &reinterpret_cast<const sockaddr_in*>(entry->ifa_addr)->sin_addr, 4);
    if (entry->ifa_netmask)
      assigned.prefixLength = std::popcount(reinterpret_cast<const sockaddr_in*>(entry->ifa_netmask)->sin_addr.s_addr);
    // An interface with several addresses is listed once, with all of them.
    const unsigned index = if_nametoindex(entry->ifa_name);
    const auto known = std::find_if(adapters.begin(), adapters.end(), [&](const Adapter& adapter) { return adapter.index == index; });
    if (known != adapters.end()) {
      known->addresses.push_back(assigned);
      continue;
    }
    Adapter adapter;
    adapter.name = entry->ifa_name;
    adapter.index = index;
    adapter.addresses = {assigned};
    adapter.up = (entry->ifa_flags & IFF_UP) && (entry->ifa_flags & IFF_RUNNING);
    adapter.multicast = entry->ifa_flags & IFF_MULTICAST;
    adapter.loopback = entry->ifa_flags & IFF_LOOPBACK;
    adapters.push_back(adapter);
  }
  freeifaddrs(list);
  std::sort(adapters.begin(), adapters.end(), [](const Adapter& a, const Adapter& b) { return a.index < b.index; });

  const auto gateways = firstDefaultGateways();
  for (Adapter& adapter : adapters)
    if (const auto found = gateways.find(adapter.name); found != gateways.end()) adapter.gateway = found->second;
  return adapters;
}

}  // namespace discovery
