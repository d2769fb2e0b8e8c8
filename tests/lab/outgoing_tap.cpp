#include "lab/outgoing_tap.h"

#include <arpa/inet.h>
#include <linux/if_ether.h>
#include <linux/if_packet.h>
#include <net/if.h>
#include <netinet/ip.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstring>

#include <gtest/gtest.h>

#include "discovery/channel.h"
#include "support/group_capture.h"

namespace labtest {
namespace {

// The marker goes to the group on a port no camera listens on.
constexpr std::uint16_t kMarkerPort = 9;
constexpr auto kMarkerTimeout = std::chrono::seconds(10);

}  // namespace

std::ostream& operator<<(std::ostream& out, const SentDatagram& sent) {
  return out << sent.size << " bytes, TTL " << sent.ttl;
}

OutgoingTap::OutgoingTap(const std::string& interface) {
  const unsigned index = if_nametoindex(interface.c_str());
  if (index == 0) return;
  // Only a capture of every protocol sees what leaves.
  capture_ = ::socket(AF_PACKET, SOCK_DGRAM | SOCK_CLOEXEC, htons(ETH_P_ALL));
  sockaddr_ll link{};
  link.sll_family = AF_PACKET;
  link.sll_protocol = htons(ETH_P_ALL);
  link.sll_ifindex = static_cast<int>(index);
  if (capture_ >= 0 && ::bind(capture_, reinterpret_cast<sockaddr*>(&link), sizeof link) != 0) {
    ::close(capture_);
    capture_ = -1;
  }
  discovery::Adapter via;
  via.index = index;
  if (marker_.create() && !marker_.setMulticastInterface(via)) marker_.close();
}

OutgoingTap::~OutgoingTap() {
  if (capture_ >= 0) ::close(capture_);
}

std::vector<SentDatagram> OutgoingTap::sentSinceLastCall() {
  std::vector<SentDatagram> sent;
  const std::uint32_t marker = ++markers_;
  marker_.sendTo(discovery::DISCOVERY_GROUP, kMarkerPort,
                 std::span(reinterpret_cast<const std::uint8_t*>(&marker), sizeof marker));
  const std::uint16_t markerSource = marker_.localPort();
  const auto deadline = std::chrono::steady_clock::now() + kMarkerTimeout;

  while (std::chrono::steady_clock::now() < deadline) {
    const auto datagram = testsupport::nextGroupDatagram(capture_, std::chrono::milliseconds(100));
    // What arrives (the cameras' answers) is not what the PC sent.
    if (!datagram || datagram->packetType != PACKET_OUTGOING) continue;
    if (datagram->destinationPort == discovery::DISCOVERY_PORT) {
      sent.push_back({datagram->payload.size(), datagram->ttl});
    } else if (datagram->destinationPort == kMarkerPort && datagram->sourcePort == markerSource &&
               datagram->payload.size() == sizeof marker &&
               std::memcmp(datagram->payload.data(), &marker, sizeof marker) == 0) {
      return sent;
    }
  }
  ADD_FAILURE() << "the tap's marker never left through its interface";
  return sent;
}

}  // namespace labtest
