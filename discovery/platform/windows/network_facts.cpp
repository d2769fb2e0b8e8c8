// Windows: the adapters as GetAdaptersAddresses lists them, told apart by
// their type and description; the port's holders from the system's UDP
// table; the firewall's rules for this program (firewall_rules.h).
#include <winsock2.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>
#include <windows.h>

#include <array>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "discovery/host_network.h"
#include "discovery/network_facts.h"
#include "discovery/platform/windows/adapter_list.h"
#include "discovery/platform/windows/firewall_rules.h"

namespace discovery {
namespace {

// Tunnels and PPP links (VPNs) by their type; the network cards of VM,
// container and VPN software by their description, since they present
// themselves as Ethernet.
std::string virtualKindOf(const IP_ADAPTER_ADDRESSES& entry) {
  switch (entry.IfType) {
    case IF_TYPE_TUNNEL: return "tunnel";
    case IF_TYPE_PPP: return "ppp";
    case IF_TYPE_PROP_VIRTUAL: return "virtual";
    default: break;
  }
  static constexpr std::array<std::string_view, 10> kMarkers{
      "Hyper-V", "VirtualBox", "VMware", "TAP-Windows", "WireGuard", "ZeroTier", "Tailscale", "Docker", "Virtual", "VPN",
  };
  const std::string description = utf8Of(entry.Description);
  for (const std::string_view marker : kMarkers)
    if (description.find(marker) != std::string::npos) return description;
  return {};
}

// The program's file name; empty where this user may not ask.
std::string programOf(DWORD processId) {
  const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
  if (!process) return {};
  wchar_t path[MAX_PATH];
  DWORD length = MAX_PATH;
  const bool named = QueryFullProcessImageNameW(process, 0, path, &length);
  CloseHandle(process);
  if (!named) return {};
  const std::wstring_view full(path, length);
  const auto separator = full.find_last_of(L"\\/");
  return utf8Of(std::wstring(full.substr(separator == std::wstring_view::npos ? 0 : separator + 1)).c_str());
}

std::vector<PortHolder> portHolders(std::uint16_t port) {
  std::vector<ULONGLONG> buffer(1);
  DWORD size = sizeof(ULONGLONG);
  DWORD result = ERROR_INSUFFICIENT_BUFFER;
  // The table may grow between the call that sizes it and the one that reads it.
  for (int attempt = 0; attempt < 4 && result == ERROR_INSUFFICIENT_BUFFER; ++attempt) {
    buffer.resize(size / sizeof(ULONGLONG) + 1);
    size = static_cast<DWORD>(buffer.size() * sizeof(ULONGLONG));
    result = GetExtendedUdpTable(buffer.data(), &size, FALSE, AF_INET, UDP_TABLE_OWNER_PID, 0);
  }
  std::vector<PortHolder> holders;
  if (result != NO_ERROR) return holders;
  const auto* table = reinterpret_cast<const MIB_UDPTABLE_OWNER_PID*>(buffer.data());
  for (DWORD i = 0; i < table->dwNumEntries; ++i) {
    const MIB_UDPROW_OWNER_PID& row = table->table[i];
    if (ntohs(static_cast<u_short>(row.dwLocalPort)) != port || row.dwOwningPid == GetCurrentProcessId()) continue;
    holders.push_back({static_cast<long>(row.dwOwningPid), programOf(row.dwOwningPid)});
  }
  return holders;
}

}  // namespace

NetworkFacts SystemInspector::inspect(std::uint16_t port) {
  NetworkFacts facts;
  std::map<unsigned, std::vector<AssignedAddress>> addresses;
  for (Adapter& adapter : SystemNetwork().adapters().value_or(std::vector<Adapter>{}))
    addresses[adapter.index] = std::move(adapter.addresses);
  const auto list = AdapterList::read(AF_UNSPEC, GAA_FLAG_INCLUDE_GATEWAYS | GAA_FLAG_SKIP_ANYCAST |
                                                     GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER);
  for (const IP_ADAPTER_ADDRESSES* entry = list ? list->first() : nullptr; entry; entry = entry->Next) {
    AdapterFacts adapter;
    adapter.name = friendlyName(*entry);
    adapter.index = entry->IfIndex;
    adapter.up = entry->OperStatus == IfOperStatusUp;
    adapter.loopback = entry->IfType == IF_TYPE_SOFTWARE_LOOPBACK;
    adapter.addresses = addresses[entry->IfIndex];
    if (!adapter.loopback) adapter.virtualKind = virtualKindOf(*entry);
    adapter.defaultRoute = entry->FirstGatewayAddress != nullptr;
    facts.adapters.push_back(std::move(adapter));
  }
  facts.portHolders = portHolders(port);
  facts.firewall = firewallVerdictForThisProgram(port);
  return facts;
}

}  // namespace discovery
