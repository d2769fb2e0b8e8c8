// New addresses for many cameras at once. Addresses are the address
// control's values: the first field in the most significant byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace pages {

struct AddressPlan {
  std::vector<std::uint32_t> addresses;  // one per camera, in order, when the range held them
  bool ranOut = false;                   // the range would run past .254
};

// Whether the `camera`-th camera may be given `address`.
using AddressUsable = std::function<bool(std::uint32_t address, std::size_t camera)>;

// `count` addresses counting up from `start`: each camera gets the next one
// that it may be given, passing over every one that ends in .0 or .255;
// none beyond .254 of the start's last field.
AddressPlan planAddresses(std::uint32_t start, std::size_t count, const AddressUsable& usable);

}  // namespace pages
