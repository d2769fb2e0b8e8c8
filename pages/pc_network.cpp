#include "pages/pc_network.h"

#include <algorithm>

#include "pages/addresses.h"

namespace pages {

PcNetwork PcNetwork::read(discovery::HostNetwork& network) {
  PcNetwork pc;
  pc.adapters = network.adapters().value_or(std::vector<discovery::Adapter>{});
  for (const discovery::Adapter& adapter : pc.adapters) {
    for (const discovery::AssignedAddress& assigned : adapter.addresses) {
      pc.addresses.insert(discovery::toFieldsValue(assigned.address));
      pc.subnets.emplace_back(discovery::toFieldsValue(assigned.address), assigned.prefixLength);
    }
    if (const auto gateway = listedAddressOf(adapter.gateway)) pc.gateways.insert(*gateway);
  }
  return pc;
}

bool PcNetwork::reserves(std::uint32_t address) const {
  return addresses.contains(address) || std::any_of(subnets.begin(), subnets.end(), [&](const auto& subnet) {
           return isNetworkOrBroadcastOf(address, subnet.first, subnet.second);
         });
}

}  // namespace pages
