// The PC's network adapters as one list, and the rule for which of them a
// search goes out through. (gateway.h holds the other rule over the list:
// whose gateway proposes a camera's new address.)
#pragma once

#include <string>
#include <vector>

#include "discovery/protocol.h"

namespace discovery {

struct AssignedAddress {
  Ipv4Bytes address{};
  int prefixLength = 0;
  friend bool operator==(const AssignedAddress&, const AssignedAddress&) = default;
};

struct Adapter {
  std::string name;
  unsigned index = 0;
  std::vector<AssignedAddress> addresses;  // its IPv4 addresses, the first first
  std::string gateway;                     // its first default gateway, dotted; empty when it has none
  bool up = false;      // up and running
  bool multicast = false;
  bool loopback = false;

  // Its first IPv4 address; 0.0.0.0 when it has none.
  Ipv4Bytes address() const { return addresses.empty() ? Ipv4Bytes{} : addresses.front().address; }
};

// The adapters that are up, multicast-capable and have an IPv4 address.
// Loopback only counts when it is the only such adapter, so that a machine
// with no network still hears itself.
std::vector<Adapter> multicastAdapters(const std::vector<Adapter>& all);

}  // namespace discovery
