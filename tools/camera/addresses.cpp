#include "tools/camera/addresses.h"

#include "tools/camera/whole_number.h"

namespace camerasim {
namespace {

constexpr std::uint64_t kMacMask = (std::uint64_t{1} << 48) - 1;
constexpr std::size_t kMacBytes = 6;
constexpr std::size_t kMacTextLength = kMacBytes * 3 - 1;

// Why `address` is not a unicast host address, judged in a subnet of
// `prefixLength` bits; empty when it is one.
std::string whyNotAHost(const discovery::Ipv4Bytes& address, int prefixLength) {
  const std::uint8_t first = address[0];
  if (first == 0) return "is in 0.0.0.0/8";
  if (first == 127) return "is a loopback address";
  if (first >= 224 && first < 240) return "is a multicast address";
  if (first >= 240) return "is a reserved or broadcast address";
  if (prefixLength >= 31) return "";
  const std::uint32_t hostBits = 0xFFFFFFFFu >> prefixLength;
  const std::uint32_t host = discovery::toFieldsValue(address) & hostBits;
  const std::string subnet = " of its /" + std::to_string(prefixLength) + " subnet";
  if (host == 0) return "is the network address" + subnet;
  if (host == hostBits) return "is the broadcast address" + subnet;
  return "";
}

}  // namespace

std::string whyNotAssignable(const discovery::Ipv4Bytes& address, const discovery::Ipv4Bytes& gateway,
                             int prefixLength) {
  if (const std::string why = whyNotAHost(address, prefixLength); !why.empty())
    return discovery::formatAddress(address) + " " + why;
  // A gateway outside the subnet (reached "onlink") has no subnet known here.
  const std::uint32_t subnetBits = prefixLength == 0 ? 0 : 0xFFFFFFFFu << (32 - prefixLength);
  const bool inSubnet = ((discovery::toFieldsValue(address) ^ discovery::toFieldsValue(gateway)) & subnetBits) == 0;
  if (const std::string why = whyNotAHost(gateway, inSubnet ? prefixLength : 32); !why.empty())
    return "gateway " + discovery::formatAddress(gateway) + " " + why;
  if (gateway == address) return "gateway " + discovery::formatAddress(gateway) + " is the camera itself";
  return "";
}

std::optional<MacAddress> parseMac(std::string_view text) {
  if (text.size() != kMacTextLength) return std::nullopt;
  MacAddress mac;
  for (std::size_t i = 0; i < kMacBytes; ++i) {
    const std::size_t at = i * 3;
    if (i > 0 && text[at - 1] != ':') return std::nullopt;
    const auto byte = parseWholeNumber<std::uint8_t>(text.substr(at, 2), 16);
    if (!byte) return std::nullopt;
    mac.value = (mac.value << 8) | *byte;
  }
  mac.lowercase = text.find_first_of("abcdef") != std::string_view::npos;
  return mac;
}

std::string formatMac(const MacAddress& mac) {
  const char* digits = mac.lowercase ? "0123456789abcdef" : "0123456789ABCDEF";
  std::string text;
  for (int shift = 40; shift >= 0; shift -= 8) {
    if (!text.empty()) text += ':';
    const auto byte = (mac.value >> shift) & 0xFF;
    text += digits[byte >> 4];
    text += digits[byte & 0xF];
  }
  return text;
}

MacAddress offsetMac(const MacAddress& first, std::uint64_t steps) {
  return {(first.value + steps) & kMacMask, first.lowercase};
}

discovery::Ipv4Bytes offsetAddress(const discovery::Ipv4Bytes& first, std::uint32_t steps) {
  return discovery::toIpv4Bytes(discovery::toFieldsValue(first) + steps);
}

}  // namespace camerasim
