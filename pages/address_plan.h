// New addresses for many cameras at once, and the addresses a new one must
// not take. Addresses are the address control's values: the first field in
// the most significant byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <set>
#include <vector>

namespace pages {

struct AddressPlan {
  std::vector<std::uint32_t> addresses;  // one per camera, in order, when the range held them
  bool ranOut = false;                   // the range would run past .254
};

// `count` addresses counting up from `start`, passing over every address in
// `taken` and every one that ends in .0 or .255; none beyond .254 of the
// start's last field.
AddressPlan planAddresses(std::uint32_t start, std::size_t count, const std::set<std::uint32_t>& taken);

}  // namespace pages
