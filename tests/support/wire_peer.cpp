#include "support/wire_peer.h"

#include <cstring>

#include <gtest/gtest.h>

#include "discovery/channel.h"
#include "support/group_capture.h"

namespace testsupport {
namespace {

// Not a discovery command: cameras and the program ignore it.
constexpr std::uint32_t kMarkerCommand = 0x7E57;

}  // namespace

void WirePeer::sendToGroup(std::span<const std::uint8_t> datagram) {
  sender_.sendTo(discovery::DISCOVERY_GROUP, discovery::DISCOVERY_PORT, datagram);
}

std::vector<WireDatagram> WirePeer::sentByOthers() {
  const std::uint32_t marker = ++markerCount_;
  std::uint8_t markerPayload[sizeof marker];
  std::memcpy(markerPayload, &marker, sizeof marker);
  const discovery::Bytes markerDatagram = discovery::encodeDatagram(kMarkerCommand, markerPayload);
  sendToGroup(markerDatagram);
  const std::uint16_t ownPort = sender_.localPort();
  // Whatever loopback sends it also receives; counting the received copy
  // sees each datagram once.
  const auto arrived = [](const CapturedDatagram& datagram) {
    return !datagram.outgoing && datagram.destinationPort == discovery::DISCOVERY_PORT;
  };
  const auto captured = readUpToMarker(
      capture_,
      [&](const CapturedDatagram& datagram) {
        return arrived(datagram) && datagram.sourcePort == ownPort && datagram.payload == markerDatagram;
      },
      [&](const CapturedDatagram& datagram) { return arrived(datagram) && datagram.sourcePort != ownPort; });
  if (!captured) {
    ADD_FAILURE() << "the peer's marker datagram never showed up on the wire";
    return {};
  }
  std::vector<WireDatagram> seen;
  for (const CapturedDatagram& datagram : *captured) seen.push_back({datagram.payload, datagram.ttl, datagram.sourcePort});
  return seen;
}

}  // namespace testsupport
