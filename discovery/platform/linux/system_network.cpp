// Linux: every interface with an IPv4 address, in interface-index order, with
// the gateway of its first IPv4 default route in the kernel's main routing
// table. Interfaces, addresses and routes are read from rtnetlink and matched
// by interface index, never by name: an address's label is not its
// interface's name, and a name can change between two reads.
#include <linux/rtnetlink.h>
#include <net/if.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "discovery/host_network.h"
#include "discovery/platform/linux/route_netlink.h"

namespace discovery {
namespace {

using netlink::Message;
using netlink::valueOf;

struct Link {
  std::string name;
  unsigned flags = 0;
};

// Interface index -> its name and flags.
std::map<unsigned, Link> linksOf(const std::vector<Message>& messages) {
  std::map<unsigned, Link> links;
  for (const Message& message : messages) {
    const auto link = netlink::parse<ifinfomsg>(message);
    if (message.type != RTM_NEWLINK || !link || link->header.ifi_index <= 0) continue;
    links[static_cast<unsigned>(link->header.ifi_index)] = {netlink::textOf(link->attributes, IFLA_IFNAME),
                                                            link->header.ifi_flags};
  }
  return links;
}

// Interface index -> the gateway text of its first default route in the main
// table; empty when that route has none. Each next hop of a multipath route
// counts for its own interface. A message that does not read is skipped.
std::map<unsigned, std::string> firstDefaultGateways(const std::vector<Message>& messages) {
  std::map<unsigned, std::string> gateways;
  for (const netlink::NextHop& exit : netlink::defaultRouteExits(messages)) {
    const auto gateway = valueOf<Ipv4Bytes>(exit.attributes, RTA_GATEWAY);
    gateways.emplace(exit.interfaceIndex, gateway ? formatAddress(*gateway) : std::string());
  }
  return gateways;
}

}  // namespace

std::optional<std::vector<Adapter>> SystemNetwork::adapters() {
  const auto linkMessages = netlink::dump(RTM_GETLINK, AF_UNSPEC);
  const auto addressMessages = netlink::dump(RTM_GETADDR, AF_INET);
  const auto routeMessages = netlink::dump(RTM_GETROUTE, AF_INET);
  if (!linkMessages || !addressMessages || !routeMessages) return std::nullopt;

  const auto links = linksOf(*linkMessages);
  std::map<unsigned, Adapter> byIndex;
  for (const Message& message : *addressMessages) {
    const auto entry = netlink::parse<ifaddrmsg>(message);
    if (message.type != RTM_NEWADDR || !entry || entry->header.ifa_family != AF_INET) continue;
    // The interface's own address (IFA_ADDRESS is the far end's on a
    // point-to-point link).
    const auto address = valueOf<Ipv4Bytes>(entry->attributes, IFA_LOCAL);
    const auto link = links.find(entry->header.ifa_index);
    if (!address || link == links.end()) continue;  // the interface went after its links were read
    // An interface with several addresses is listed once, with all of them.
    auto [known, added] = byIndex.try_emplace(link->first);
    Adapter& adapter = known->second;
    if (added) {
      adapter.name = link->second.name;
      adapter.index = link->first;
      adapter.up = (link->second.flags & IFF_UP) && (link->second.flags & IFF_RUNNING);
      adapter.multicast = link->second.flags & IFF_MULTICAST;
      adapter.loopback = link->second.flags & IFF_LOOPBACK;
    }
    adapter.addresses.push_back({*address, entry->header.ifa_prefixlen});
  }

  const auto gateways = firstDefaultGateways(*routeMessages);
  std::vector<Adapter> adapters;
  for (auto& [index, adapter] : byIndex) {
    if (const auto found = gateways.find(index); found != gateways.end()) adapter.gateway = found->second;
    adapters.push_back(std::move(adapter));
  }
  return adapters;
}

}  // namespace discovery
