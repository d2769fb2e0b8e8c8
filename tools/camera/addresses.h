// MAC and IPv4 addresses as the simulator's user writes them, and the counting
// rule that gives each simulated camera its own pair.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "discovery/protocol.h"

namespace camerasim {

struct MacAddress {
  std::uint64_t value = 0;  // the 48 bits, first byte most significant
  bool lowercase = false;   // hex letters are written as the user wrote them

  friend bool operator==(const MacAddress&, const MacAddress&) = default;
};

// Six two-digit hex bytes separated by colons ("00:11:22:AA:BB:CC"). The
// letters come out in lower case when any of the given ones is lower case.
std::optional<MacAddress> parseMac(std::string_view text);
std::string formatMac(const MacAddress& mac);
// Counts up as a 48-bit number; past FF:FF:FF:FF:FF:FF it starts again at 0.
MacAddress offsetMac(const MacAddress& first, std::uint64_t steps);

// Counts up as a 32-bit number; past 255.255.255.255 it starts again at 0.
discovery::Ipv4Bytes offsetAddress(const discovery::Ipv4Bytes& first, std::uint32_t steps);

// Why a camera in a subnet of `prefixLength` bits cannot take `address` with
// `gateway`; empty when it can. Both must be unicast host addresses: not in
// 0/8, 127/8, 224/4 or 240/4, nor the network or broadcast address of the
// address's subnet (which /31 and /32 do not have); the gateway is not the
// address itself.
std::string whyNotAssignable(const discovery::Ipv4Bytes& address, const discovery::Ipv4Bytes& gateway,
                             int prefixLength);

}  // namespace camerasim
