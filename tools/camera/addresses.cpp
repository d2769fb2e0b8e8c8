#include "tools/camera/addresses.h"

#include "tools/camera/whole_number.h"

namespace camerasim {
namespace {

constexpr std::uint64_t kMacMask = (std::uint64_t{1} << 48) - 1;
constexpr std::size_t kMacBytes = 6;
constexpr std::size_t kMacTextLength = kMacBytes * 3 - 1;

}  // namespace

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

std::optional<discovery::Ipv4Bytes> parseIpv4(std::string_view text) {
  discovery::Ipv4Bytes bytes{};
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const bool last = i + 1 == bytes.size();
    const std::size_t dot = text.find('.');
    if (last != (dot == std::string_view::npos)) return std::nullopt;
    const auto part = parseWholeNumber<unsigned>(text.substr(0, dot));
    if (!part || *part > 255) return std::nullopt;
    bytes[i] = static_cast<std::uint8_t>(*part);
    if (!last) text.remove_prefix(dot + 1);
  }
  return bytes;
}

discovery::Ipv4Bytes offsetAddress(const discovery::Ipv4Bytes& first, std::uint32_t steps) {
  return discovery::toIpv4Bytes(discovery::toFieldsValue(first) + steps);
}

}  // namespace camerasim
