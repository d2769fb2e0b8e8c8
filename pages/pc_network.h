// The PC's own addresses, gateways and subnets, read once for each thing the
// user does: a new address must be none of them.
#pragma once

#include <cstdint>
#include <set>
#include <utility>
#include <vector>

#include "discovery/host_network.h"

namespace pages {

struct PcNetwork {
  std::vector<discovery::Adapter> adapters;
  std::set<std::uint32_t> addresses;
  std::set<std::uint32_t> gateways;
  std::vector<std::pair<std::uint32_t, int>> subnets;  // an address of each and its prefix length

  static PcNetwork read(discovery::HostNetwork& network);
  // One of the PC's addresses, or the network or broadcast address of one of
  // its subnets.
  bool reserves(std::uint32_t address) const;
};

}  // namespace pages
