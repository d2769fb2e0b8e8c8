// An IPv4 socket address from an address's four bytes (in wire order) and a
// port, for the sockets of both platforms.
#pragma once

#ifdef _WIN32
#include <winsock2.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#endif

#include <cstdint>
#include <cstring>

#include "discovery/protocol.h"

namespace discovery {

inline sockaddr_in socketAddress(const Ipv4Bytes& address, std::uint16_t port) {
  sockaddr_in result{};
  result.sin_family = AF_INET;
  result.sin_port = htons(port);
  std::memcpy(&result.sin_addr.s_addr, address.data(), 4);
  return result;
}

}  // namespace discovery
