// Who holds a UDP port, from procfs: the socket's inode in /proc/net/udp,
// then the process with a descriptor of that inode among /proc/*/fd, which
// can be read for the user's own processes only.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "discovery/network_facts.h"

namespace discovery {

// The inodes of the sockets bound to `port` in a /proc/net/udp or udp6
// listing; lines that do not read are skipped.
std::vector<unsigned long> socketInodesOnPort(std::string_view listing, std::uint16_t port);

// The programs other than this one holding a socket bound to `port`.
std::vector<PortHolder> portHolders(std::uint16_t port);

}  // namespace discovery
