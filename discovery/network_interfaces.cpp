#include "discovery/network_interfaces.h"

#include <algorithm>

namespace discovery {

std::vector<NetworkInterface> multicastInterfaces(const std::vector<NetworkInterface>& all) {
  std::vector<NetworkInterface> usable;
  std::copy_if(all.begin(), all.end(), std::back_inserter(usable),
               [](const NetworkInterface& candidate) { return candidate.up && candidate.multicast; });
  const bool onlyLoopback =
      std::all_of(usable.begin(), usable.end(), [](const NetworkInterface& candidate) { return candidate.loopback; });
  if (onlyLoopback) return usable;
  std::erase_if(usable, [](const NetworkInterface& candidate) { return candidate.loopback; });
  return usable;
}

}  // namespace discovery
