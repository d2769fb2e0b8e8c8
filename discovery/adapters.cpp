#include "discovery/adapters.h"

#include <algorithm>

namespace discovery {

std::vector<Adapter> multicastAdapters(const std::vector<Adapter>& all) {
  std::vector<Adapter> usable;
  std::copy_if(all.begin(), all.end(), std::back_inserter(usable),
               [](const Adapter& candidate) { return candidate.up && candidate.multicast; });
  const bool onlyLoopback =
      std::all_of(usable.begin(), usable.end(), [](const Adapter& candidate) { return candidate.loopback; });
  if (!onlyLoopback) std::erase_if(usable, [](const Adapter& candidate) { return candidate.loopback; });
  return usable;
}

}  // namespace discovery
