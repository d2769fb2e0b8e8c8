// Stands in for the PC's network: the adapters a test chooses, and the
// receive buffer the channel asks for. The adapters are real ones of the
// private test namespace where traffic must flow, so that memberships and
// sends by index work.
#pragma once

#ifdef _WIN32
#include <winsock2.h>
#include <iphlpapi.h>  // if_nametoindex
#else
#include <net/if.h>
#endif

#include <string>
#include <utility>
#include <vector>

#include "discovery/host_network.h"

namespace testsupport {

class FixedNetwork : public discovery::HostNetwork {
 public:
  explicit FixedNetwork(std::vector<discovery::Adapter> adapters = {},
                        int receiveBufferBytes = discovery::kWantedReceiveBuffer)
      : adapters_(std::move(adapters)), receiveBufferBytes_(receiveBufferBytes) {}

  std::optional<std::vector<discovery::Adapter>> adapters() override { return adapters_; }
  int receiveBufferRequest() const override { return receiveBufferBytes_; }
  // Cable in, cable out: read by the channel at its next send.
  void setAdapters(std::vector<discovery::Adapter> adapters) { adapters_ = std::move(adapters); }

 private:
  std::vector<discovery::Adapter> adapters_;
  int receiveBufferBytes_;
};

// The private namespace's loopback as the PC's one wired adapter, whose
// gateway proposes the camera's new address.
inline discovery::Adapter loopbackWire(std::string gateway = {}) {
  discovery::Adapter wire;
  wire.name = "lo";
  wire.index = if_nametoindex("lo");
  wire.addresses = {{{127, 0, 0, 1}, 8}};
  wire.gateway = std::move(gateway);
  wire.up = wire.multicast = true;
  return wire;
}

}  // namespace testsupport
