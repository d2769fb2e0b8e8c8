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
  if (marker_.create() && !marker_.setMulticastInterface(index)) marker_.close();
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

  std::uint8_t packet[65536];
  while (std::chrono::steady_clock::now() < deadline) {
    pollfd wait{capture_, POLLIN, 0};
    if (::poll(&wait, 1, 100) <= 0) continue;
    sockaddr_ll from{};
    socklen_t fromSize = sizeof from;
    const ssize_t size = ::recvfrom(capture_, packet, sizeof packet, 0, reinterpret_cast<sockaddr*>(&from), &fromSize);
    // What arrives (the cameras' answers) is not what the PC sent.
    if (size < static_cast<ssize_t>(sizeof(iphdr)) || from.sll_pkttype != PACKET_OUTGOING ||
        from.sll_protocol != htons(ETH_P_IP))
      continue;
    const auto* ip = reinterpret_cast<const iphdr*>(packet);
    const std::size_t udp = ip->ihl * 4u;
    if (ip->protocol != IPPROTO_UDP || static_cast<std::size_t>(size) < udp + 8 ||
        std::memcmp(&ip->daddr, discovery::DISCOVERY_GROUP.data(), 4) != 0)
      continue;
    const std::uint16_t source = static_cast<std::uint16_t>(packet[udp] << 8 | packet[udp + 1]);
    const std::uint16_t destination = static_cast<std::uint16_t>(packet[udp + 2] << 8 | packet[udp + 3]);
    const std::size_t payload = static_cast<std::size_t>(size) - udp - 8;
    if (destination == discovery::DISCOVERY_PORT) {
      sent.push_back({payload, ip->ttl});
    } else if (destination == kMarkerPort && source == markerSource && payload == sizeof marker &&
               std::memcmp(packet + udp + 8, &marker, sizeof marker) == 0) {
      return sent;
    }
  }
  ADD_FAILURE() << "the tap's marker never left through its interface";
  return sent;
}

}  // namespace labtest
