// What the channel and the camera page need from the PC's network, passed in
// so that tests and benchmarks can stand in for the machine: its adapters,
// and the receive buffer to ask the system for.
#pragma once

#include <optional>
#include <vector>

#include "discovery/adapters.h"

namespace discovery {

// Large sites answer a search with thousands of replies at once; the system
// holds them until the receive thread drains them.
inline constexpr int kWantedReceiveBuffer = 8 * 1024 * 1024;

class HostNetwork {
 public:
  virtual ~HostNetwork() = default;
  // Every adapter with an IPv4 address, once each with its first address, in
  // the platform's order; nothing when the system could not be asked.
  virtual std::optional<std::vector<Adapter>> adapters() = 0;
  virtual int receiveBufferRequest() const { return kWantedReceiveBuffer; }
};

// The machine's own network, as the platform lists it. Defined once per
// platform.
class SystemNetwork : public HostNetwork {
 public:
  std::optional<std::vector<Adapter>> adapters() override;
};

}  // namespace discovery
