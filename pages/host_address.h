// Whether a camera may be given an address: the ranges no single host can
// hold (this network, loopback, multicast, reserved and broadcast) are refused
// before anything is sent, since a camera given one can no longer be reached.
#pragma once

#include <cstdint>

namespace pages {

// `address` as the address control's value, first field most significant.
bool canBeHostAddress(std::uint32_t address);

}  // namespace pages
