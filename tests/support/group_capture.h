// Opening and reading a packet capture for the UDP datagrams sent to the
// discovery group: an AF_PACKET socket on Linux, a raw UDP socket on Windows.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "discovery/protocol.h"

#ifndef _WIN32
struct sock_fprog;
#endif

namespace testsupport {

struct CapturedDatagram {
  bool outgoing = false;  // seen leaving this host (Linux captures see both ways)
  int ttl = 0;
  std::uint16_t sourcePort = 0;
  std::uint16_t destinationPort = 0;
  discovery::Bytes payload;
};

// The next captured UDP datagram to the discovery group, any port; nothing
// when another packet came first or none came within `wait`. Defined once per
// platform.
std::optional<CapturedDatagram> nextGroupDatagram(std::intptr_t capture, std::chrono::milliseconds wait);

#ifndef _WIN32
// An AF_PACKET capture of `protocol` (an ETH_P_ value) on the interface with
// that index, through the socket filter when one is given; -1 when it cannot
// be opened.
int openCapture(unsigned interfaceIndex, std::uint16_t protocol, const sock_fprog* filter = nullptr);
#endif

using CapturePredicate = std::function<bool(const CapturedDatagram&)>;

// Reads the capture until a datagram `isMarker` accepts, and returns those
// `keep` accepted before it, in order; nothing when no marker came within
// ten seconds. Sent just before, the marker makes sure that whatever was sent
// before it is among them.
std::optional<std::vector<CapturedDatagram>> readUpToMarker(std::intptr_t capture, const CapturePredicate& isMarker,
                                                            const CapturePredicate& keep);

}  // namespace testsupport
