// Windows: every adapter with an IPv4 address, in the order
// GetAdaptersAddresses lists them, with its first IPv4 default gateway.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>
#include <windows.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "discovery/host_network.h"

namespace discovery {
namespace {

// Adapters come and go between two calls, so a buffer found too small is
// grown to the size asked for and the call made again, a few times at most.
constexpr int kListAttempts = 4;
constexpr ULONG kFirstListSize = 16 * 1024;

std::optional<Ipv4Bytes> firstIpv4(const SOCKET_ADDRESS& address) {
  if (!address.lpSockaddr || address.lpSockaddr->sa_family != AF_INET) return std::nullopt;
  Ipv4Bytes bytes;
  std::memcpy(bytes.data(), &reinterpret_cast<const sockaddr_in*>(address.lpSockaddr)->sin_addr, 4);
  return bytes;
}

template <typename Entry>
std::optional<Ipv4Bytes> firstIpv4(const Entry* entries) {
  for (const Entry* entry = entries; entry; entry = entry->Next)
    if (const auto address = firstIpv4(entry->Address)) return address;
  return std::nullopt;
}

std::string utf8(const wchar_t* text) {
  if (!text) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1) return {};
  std::string converted(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, converted.data(), size, nullptr, nullptr);
  converted.pop_back();  // the terminating NUL
  return converted;
}

}  // namespace

std::optional<std::vector<Adapter>> SystemNetwork::adapters() {
  constexpr ULONG kFlags = GAA_FLAG_INCLUDE_GATEWAYS | GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST |
                           GAA_FLAG_SKIP_DNS_SERVER;
  // Held as 8-byte words: the list's entries hold pointers.
  std::vector<ULONGLONG> buffer;
  ULONG size = kFirstListSize;
  ULONG result = ERROR_BUFFER_OVERFLOW;
  for (int attempt = 0; attempt < kListAttempts && result == ERROR_BUFFER_OVERFLOW; ++attempt) {
    buffer.resize(size / sizeof(ULONGLONG) + 1);
    size = static_cast<ULONG>(buffer.size() * sizeof(ULONGLONG));
    result = GetAdaptersAddresses(AF_INET, kFlags, nullptr, reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()),
                                  &size);
  }
  if (result == ERROR_NO_DATA) return std::vector<Adapter>{};
  if (result != NO_ERROR) return std::nullopt;

  std::vector<Adapter> adapters;
  for (const auto* entry = reinterpret_cast<const IP_ADAPTER_ADDRESSES*>(buffer.data()); entry; entry = entry->Next) {
    const auto address = firstIpv4(entry->FirstUnicastAddress);
    if (!address) continue;
    Adapter adapter;
    adapter.name = utf8(entry->FriendlyName);
    adapter.index = entry->IfIndex;
    adapter.address = *address;
    if (const auto gateway = firstIpv4(entry->FirstGatewayAddress)) adapter.gateway = formatAddress(*gateway);
    adapter.up = entry->OperStatus == IfOperStatusUp;
    adapter.multicast = !(entry->Flags & IP_ADAPTER_NO_MULTICAST);
    adapter.loopback = entry->IfType == IF_TYPE_SOFTWARE_LOOPBACK;
    adapters.push_back(adapter);
  }
  return adapters;
}

}  // namespace discovery
