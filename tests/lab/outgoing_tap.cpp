#include "lab/outgoing_tap.h"

#include <linux/if_ether.h>
#include <net/if.h>
#include <unistd.h>

#include <algorithm>

#include <gtest/gtest.h>

#include "discovery/channel.h"
#include "support/group_capture.h"

namespace labtest {
namespace {

// The marker goes to the group on a port no camera listens on.
constexpr std::uint16_t kMarkerPort = 9;

}  // namespace

std::ostream& operator<<(std::ostream& out, const SentDatagram& sent) {
  return out << sent.size << " bytes, TTL " << sent.ttl;
}

OutgoingTap::OutgoingTap(const std::string& interface) {
  const unsigned index = if_nametoindex(interface.c_str());
  if (index == 0) return;
  // Only a capture of every protocol sees what leaves.
  capture_ = testsupport::openCapture(index, ETH_P_ALL);
  discovery::Adapter via;
  via.index = index;
  if (marker_.create() && !marker_.setMulticastInterface(via)) marker_.close();
}

OutgoingTap::~OutgoingTap() {
  if (capture_ >= 0) ::close(capture_);
}

std::vector<SentDatagram> OutgoingTap::sentSinceLastCall() {
  const std::uint32_t marker = ++markers_;
  const std::span markerBytes(reinterpret_cast<const std::uint8_t*>(&marker), sizeof marker);
  marker_.sendTo(discovery::DISCOVERY_GROUP, kMarkerPort, markerBytes);
  const std::uint16_t markerSource = marker_.localPort();
  // What arrives (the cameras' answers) is not what the PC sent.
  const auto captured = testsupport::readUpToMarker(
      capture_,
      [&](const testsupport::CapturedDatagram& datagram) {
        return datagram.outgoing && datagram.destinationPort == kMarkerPort && datagram.sourcePort == markerSource &&
               std::equal(markerBytes.begin(), markerBytes.end(), datagram.payload.begin(), datagram.payload.end());
      },
      [](const testsupport::CapturedDatagram& datagram) {
        return datagram.outgoing && datagram.destinationPort == discovery::DISCOVERY_PORT;
      });
  if (!captured) {
    ADD_FAILURE() << "the tap's marker never left through its interface";
    return {};
  }
  std::vector<SentDatagram> sent;
  for (const auto& datagram : *captured) sent.push_back({datagram.payload.size(), datagram.ttl});
  return sent;
}

}  // namespace labtest
