// Linux: links and their kinds from rtnetlink (the namespace's own, whatever
// sysfs shows), the addresses as the adapter list reads them, the
// reverse-path filter from /proc/sys, its drops from /proc/net/netstat, the
// port's holders from procfs.
#include <linux/if_link.h>
#include <linux/rtnetlink.h>
#include <net/if.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <string_view>

#include "discovery/host_network.h"
#include "discovery/network_facts.h"
#include "discovery/platform/linux/port_holders.h"
#include "discovery/platform/linux/route_netlink.h"

namespace discovery {
namespace {

namespace fs = std::filesystem;

std::optional<int> readSetting(const fs::path& path) {
  std::ifstream file(path);
  int value = 0;
  if (!(file >> value)) return std::nullopt;
  return value;
}

std::optional<int> reversePathFilterOf(const std::string& adapterName) {
  // A name is never "." or ".." nor holds a '/': the kernel refuses those.
  return readSetting(fs::path("/proc/sys/net/ipv4/conf") / adapterName / "rp_filter");
}

// The kernel counts datagrams its reverse-path filter dropped as
// TcpExt's IPReversePathFilter: a line of names, then a line of values.
std::optional<std::uint64_t> reversePathDrops() {
  std::ifstream netstat("/proc/net/netstat");
  std::string names, values;
  while (std::getline(netstat, names) && std::getline(netstat, values)) {
    std::istringstream nameFields(names), valueFields(values);
    std::string name, value;
    while (nameFields >> name && valueFields >> value)
      if (name == "IPReversePathFilter") return std::strtoull(value.c_str(), nullptr, 10);
  }
  return std::nullopt;
}

// Names that container, VM and VPN software give its adapters.
std::string kindByName(std::string_view name) {
  static constexpr std::array<std::pair<std::string_view, std::string_view>, 9> kKnown{{
      {"docker", "docker"}, {"br-", "docker"}, {"veth", "veth"}, {"virbr", "libvirt"}, {"vmnet", "vmware"},
      {"zt", "zerotier"}, {"tun", "tun"}, {"tap", "tap"}, {"wg", "wireguard"},
  }};
  for (const auto& [prefix, kind] : kKnown)
    if (name.starts_with(prefix)) return std::string(kind);
  return {};
}

// Where sysfs shows this namespace's adapter of that index: "tun" for a
// tun/tap device, its DEVTYPE (bridge, vlan, wlan...: only those without
// hardware count), or "virtual" for one with no device behind it.
std::string kindBySysfs(const std::string& name, unsigned index) {
  const fs::path adapter = fs::path("/sys/class/net") / name;
  if (readSetting(adapter / "ifindex") != static_cast<int>(index)) return {};  // another namespace's
  std::error_code error;
  if (fs::exists(adapter / "tun_flags", error)) return "tun";
  if (fs::exists(adapter / "device", error)) return {};
  std::ifstream uevent(adapter / "uevent");
  for (std::string line; std::getline(uevent, line);)
    if (line.starts_with("DEVTYPE=")) return line.substr(8);
  return "virtual";
}

struct Link {
  std::string name;
  unsigned index = 0;
  unsigned flags = 0;
  std::string kind;  // IFLA_INFO_KIND: what made it, for every virtual adapter the kernel itself makes
};

std::vector<Link> links() {
  std::vector<Link> found;
  const auto messages = netlink::dump(RTM_GETLINK, AF_UNSPEC);
  for (const netlink::Message& message : messages.value_or(std::vector<netlink::Message>{})) {
    const auto link = netlink::parse<ifinfomsg>(message);
    if (message.type != RTM_NEWLINK || !link || link->header.ifi_index <= 0) continue;
    Link entry{netlink::textOf(link->attributes, IFLA_IFNAME), static_cast<unsigned>(link->header.ifi_index),
               link->header.ifi_flags, {}};
    if (const auto info = link->attributes.find(IFLA_LINKINFO); info != link->attributes.end())
      if (const auto nested = netlink::attributesIn(info->second)) entry.kind = netlink::textOf(*nested, IFLA_INFO_KIND);
    found.push_back(std::move(entry));
  }
  return found;
}

std::set<unsigned> defaultRouteAdapters() {
  std::set<unsigned> indexes;
  if (const auto routes = netlink::dump(RTM_GETROUTE, AF_INET))
    for (const netlink::NextHop& exit : netlink::defaultRouteExits(*routes)) indexes.insert(exit.interfaceIndex);
  return indexes;
}

bool onPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  std::istringstream folders(path ? path : "");
  for (std::string folder; std::getline(folders, folder, ':');)
    if (!folder.empty() && ::access((fs::path(folder) / program).c_str(), X_OK) == 0) return true;
  return false;
}

}  // namespace

NetworkFacts SystemInspector::inspect(std::uint16_t port) {
  NetworkFacts facts;
  std::map<unsigned, std::vector<AssignedAddress>> addresses;
  for (Adapter& adapter : SystemNetwork().adapters().value_or(std::vector<Adapter>{}))
    addresses[adapter.index] = std::move(adapter.addresses);
  const auto routed = defaultRouteAdapters();
  for (const Link& link : links()) {
    AdapterFacts adapter;
    adapter.name = link.name;
    adapter.index = link.index;
    adapter.up = (link.flags & IFF_UP) && (link.flags & IFF_RUNNING);
    adapter.loopback = link.flags & IFF_LOOPBACK;
    adapter.addresses = addresses[link.index];
    if (!adapter.loopback) {
      // The software's name says more than the kernel's kind (docker0 is a bridge).
      adapter.virtualKind = kindByName(link.name);
      if (adapter.virtualKind.empty()) adapter.virtualKind = link.kind;
      if (adapter.virtualKind.empty()) adapter.virtualKind = kindBySysfs(link.name, link.index);
    }
    adapter.reversePathFilter = reversePathFilterOf(link.name);
    adapter.defaultRoute = routed.count(link.index) > 0;
    facts.adapters.push_back(std::move(adapter));
  }
  facts.reversePathFilterAll = readSetting("/proc/sys/net/ipv4/conf/all/rp_filter");
  facts.reversePathDrops = reversePathDrops();
  facts.portHolders = portHolders(port);
  facts.canElevate = onPath("pkexec");
  return facts;
}

}  // namespace discovery
