// Windows: every adapter with an IPv4 address, in the order
// GetAdaptersAddresses lists them, with its first IPv4 default gateway.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstring>
#include <optional>
#include <vector>

#include "discovery/host_network.h"
#include "discovery/platform/windows/adapter_list.h"

namespace discovery {
namespace {

std::optional<Ipv4Bytes> ipv4Of(const SOCKET_ADDRESS& address) {
  if (!address.lpSockaddr || address.lpSockaddr->sa_family != AF_INET) return std::nullopt;
  Ipv4Bytes bytes;
  std::memcpy(bytes.data(), &reinterpret_cast<const sockaddr_in*>(address.lpSockaddr)->sin_addr, 4);
  return bytes;
}

std::optional<Ipv4Bytes> firstIpv4(const IP_ADAPTER_GATEWAY_ADDRESS_LH* entries) {
  for (const auto* entry = entries; entry; entry = entry->Next)
    if (const auto address = ipv4Of(entry->Address)) return address;
  return std::nullopt;
}

std::vector<AssignedAddress> ipv4Addresses(const IP_ADAPTER_UNICAST_ADDRESS_LH* entries) {
  std::vector<AssignedAddress> addresses;
  for (const auto* entry = entries; entry; entry = entry->Next)
    if (const auto address = ipv4Of(entry->Address)) addresses.push_back({*address, entry->OnLinkPrefixLength});
  return addresses;
}

}  // namespace

std::optional<std::vector<Adapter>> SystemNetwork::adapters() {
  const auto list = AdapterList::read(AF_INET, GAA_FLAG_INCLUDE_GATEWAYS | GAA_FLAG_SKIP_ANYCAST |
                                                   GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER);
  if (!list) return std::nullopt;
  std::vector<Adapter> adapters;
  for (const IP_ADAPTER_ADDRESSES* entry = list->first(); entry; entry = entry->Next) {
    auto addresses = ipv4Addresses(entry->FirstUnicastAddress);
    if (addresses.empty()) continue;
    Adapter adapter;
    adapter.name = friendlyName(*entry);
    adapter.index = entry->IfIndex;
    adapter.addresses = std::move(addresses);
    if (const auto gateway = firstIpv4(entry->FirstGatewayAddress)) adapter.gateway = formatAddress(*gateway);
    adapter.up = entry->OperStatus == IfOperStatusUp;
    adapter.multicast = !(entry->Flags & IP_ADAPTER_NO_MULTICAST);
    adapter.loopback = entry->IfType == IF_TYPE_SOFTWARE_LOOPBACK;
    adapters.push_back(adapter);
  }
  return adapters;
}

}  // namespace discovery
