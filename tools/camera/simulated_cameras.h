// The cameras one simulator plays: a first camera given by the user, and the
// rest counted up from it.
#pragma once

#include <cstddef>
#include <vector>

#include "discovery/protocol.h"
#include "tools/camera/addresses.h"

namespace camerasim {

inline constexpr std::size_t kMaxCameras = 1'000'000;
// A camera's subnet when nothing says otherwise.
inline constexpr int kDefaultPrefixLength = 24;

struct SimulatedCamera {
  discovery::TextField<20> mac;  // the text it reports and answers to
  discovery::Ipv4Bytes address{};
  discovery::Ipv4Bytes gateway{};
  int prefixLength = kDefaultPrefixLength;  // kept across address changes
};

struct CameraRange {
  std::size_t count = 1;
  MacAddress firstMac{0x001122334455, false};
  discovery::Ipv4Bytes firstAddress{192, 168, 0, 100};
  discovery::Ipv4Bytes gateway{192, 168, 0, 1};
};

// Camera i has the first MAC + i and the first address + i; all share the
// gateway.
std::vector<SimulatedCamera> generateCameras(const CameraRange& range);

}  // namespace camerasim
