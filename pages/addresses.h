// IPv4 addresses as the pages handle them: the address control's value,
// first field in the most significant byte.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pages {

// "%d.%d.%d.%d".
std::string dotted(std::uint32_t address);

// False for what no host can have: 0.0.0.0/8, 127.0.0.0/8, multicast
// (224.0.0.0/4) and 240.0.0.0/4 with the broadcast 255.255.255.255. A camera
// told to take one is lost to the installer.
bool canBeHostAddress(std::uint32_t address);

// The address a camera's listed text names. Anyone on the network writes
// these texts, so white space around it, a "/prefix" or a ":port" after it
// still name the address.
std::optional<std::uint32_t> listedAddressOf(std::string_view text);

// Whether `address` is the network or the broadcast address of the subnet
// `subnetAddress`/`prefixLength` (prefixes of 31 and 32 have neither).
bool isNetworkOrBroadcastOf(std::uint32_t address, std::uint32_t subnetAddress, int prefixLength);

}  // namespace pages
