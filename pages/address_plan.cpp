#include "pages/address_plan.h"

namespace pages {

AddressPlan planAddresses(std::uint32_t start, std::size_t count, const AddressUsable& usable) {
  AddressPlan plan;
  const std::uint32_t network = start & 0xFFFFFF00u;
  for (std::uint32_t host = start & 0xFFu; plan.addresses.size() < count; ++host) {
    if (host > 254) {
      plan.addresses.clear();
      plan.ranOut = true;
      return plan;
    }
    const std::uint32_t address = network | host;
    if (host != 0 && usable(address, plan.addresses.size())) plan.addresses.push_back(address);
  }
  return plan;
}

}  // namespace pages
