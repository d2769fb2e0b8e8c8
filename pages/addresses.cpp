#include "pages/addresses.h"

#include "discovery/protocol.h"

namespace pages {

std::string dotted(std::uint32_t address) { return discovery::formatAddress(discovery::toIpv4Bytes(address)); }

bool canBeHostAddress(std::uint32_t address) {
  const std::uint32_t first = address >> 24;
  return first != 0 && first != 127 && first < 224;
}

std::optional<std::uint32_t> listedAddressOf(std::string_view text) {
  constexpr std::string_view kSpace = " \t\r\n";
  const auto begin = text.find_first_not_of(kSpace);
  if (begin == std::string_view::npos) return std::nullopt;
  text = text.substr(begin);
  text = text.substr(0, text.find_first_of(kSpace));
  text = text.substr(0, text.find_first_of("/:"));
  const auto address = discovery::parseAddress(text);
  if (!address) return std::nullopt;
  return discovery::toFieldsValue(*address);
}

bool isNetworkOrBroadcastOf(std::uint32_t address, std::uint32_t subnetAddress, int prefixLength) {
  if (prefixLength < 0 || prefixLength > 30) return false;
  const std::uint32_t mask = prefixLength == 0 ? 0 : 0xFFFFFFFFu << (32 - prefixLength);
  if ((address & mask) != (subnetAddress & mask)) return false;
  const std::uint32_t host = address & ~mask;
  return host == 0 || host == ~mask;
}

}  // namespace pages
