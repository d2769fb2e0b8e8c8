// Reading a packet capture (an AF_PACKET socket) for the UDP datagrams sent
// to the discovery group.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

#include "discovery/protocol.h"

namespace testsupport {

struct CapturedDatagram {
  int packetType = 0;  // PACKET_HOST, PACKET_OUTGOING, ...
  int ttl = 0;
  std::uint16_t sourcePort = 0;
  std::uint16_t destinationPort = 0;
  discovery::Bytes payload;
};

// The next captured UDP datagram to the discovery group, any port; nothing
// when another packet came first or none came within `wait`.
std::optional<CapturedDatagram> nextGroupDatagram(int capture, std::chrono::milliseconds wait);

}  // namespace testsupport
