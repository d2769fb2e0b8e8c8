// The IPv4 interfaces the channel searches through: every one that is up,
// multicast-capable and has an IPv4 address. Loopback only counts when it is
// the only such interface, so a machine with no network still hears itself.
#pragma once

#include <string>
#include <vector>

#include "discovery/protocol.h"

namespace discovery {

struct NetworkInterface {
  std::string name;
  unsigned index = 0;
  Ipv4Bytes address{};
  bool up = false;
  bool multicast = false;
  bool loopback = false;
};

// Every interface with an IPv4 address, in the platform's order (one entry
// per interface). Defined once per platform.
std::vector<NetworkInterface> listIpv4Interfaces();

// The ones a search goes out through, by the rule above.
std::vector<NetworkInterface> multicastInterfaces(const std::vector<NetworkInterface>& all);

}  // namespace discovery
