// Windows: the peer's capture is a raw IPv4 socket for UDP, which gets a copy
// of every UDP datagram the host takes in, IP header included (raw sockets
// need administrator rights; root under Wine). It joins the group so that the
// host takes in the group's datagrams even when nothing else listens.
// Captures and sends go through the interface the routes pick: the private
// test network's loopback.
#include "support/wire_peer.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "discovery/channel.h"

namespace testsupport {
namespace {

// Not a discovery command: cameras and the program ignore it.
constexpr std::uint32_t kMarkerCommand = 0x7E57;
constexpr auto kMarkerTimeout = std::chrono::seconds(10);
constexpr int kIpHeaderTtl = 8;
constexpr int kIpHeaderProtocol = 9;
constexpr int kIpHeaderDestination = 16;
constexpr std::size_t kUdpHeaderSize = 8;

SOCKET socketOf(std::intptr_t handle) { return static_cast<SOCKET>(handle); }

struct GroupDatagram {
  int ttl = 0;
  std::uint16_t sourcePort = 0;
  std::uint16_t destinationPort = 0;
  discovery::Bytes payload;
};

// The next captured UDP datagram to the discovery group, any port; nothing
// when another packet came first or none came within `wait`.
std::optional<GroupDatagram> nextGroupDatagram(SOCKET capture, std::chrono::milliseconds wait) {
  WSAPOLLFD ready{capture, POLLRDNORM, 0};
  if (WSAPoll(&ready, 1, static_cast<INT>(wait.count())) <= 0) return std::nullopt;
  std::uint8_t packet[65536];
  const int size = ::recv(capture, reinterpret_cast<char*>(packet), sizeof packet, 0);
  if (size < 20) return std::nullopt;
  const std::size_t udp = (packet[0] & 0x0F) * 4u;
  if (packet[kIpHeaderProtocol] != IPPROTO_UDP || static_cast<std::size_t>(size) < udp + kUdpHeaderSize ||
      std::memcmp(packet + kIpHeaderDestination, discovery::DISCOVERY_GROUP.data(), 4) != 0)
    return std::nullopt;
  return GroupDatagram{packet[kIpHeaderTtl], static_cast<std::uint16_t>(packet[udp] << 8 | packet[udp + 1]),
                       static_cast<std::uint16_t>(packet[udp + 2] << 8 | packet[udp + 3]),
                       discovery::Bytes(packet + udp + kUdpHeaderSize, packet + size)};
}

}  // namespace

WirePeer::WirePeer(const char* captureInterface, unsigned sendInterfaceIndex) {
  if (std::string(captureInterface) != "lo" || sendInterfaceIndex != 0)
    ADD_FAILURE() << "on Windows the peer only works on the interface the routes pick";
  const SOCKET capture = ::socket(AF_INET, SOCK_RAW, IPPROTO_UDP);
  if (capture != INVALID_SOCKET) {
    ip_mreq membership{};
    std::memcpy(&membership.imr_multiaddr.s_addr, discovery::DISCOVERY_GROUP.data(), 4);
    membership.imr_interface.s_addr = htonl(INADDR_ANY);
    if (::setsockopt(capture, IPPROTO_IP, IP_ADD_MEMBERSHIP, reinterpret_cast<const char*>(&membership),
                     sizeof membership) == 0)
      capture_ = static_cast<std::intptr_t>(capture);
    else
      ::closesocket(capture);
  }
  if (sender_.create()) sender_.setMulticastTtl(discovery::kMulticastTtl);
}

WirePeer::~WirePeer() {
  if (capture_ >= 0) ::closesocket(socketOf(capture_));
}

void WirePeer::sendToGroup(std::span<const std::uint8_t> datagram) {
  sender_.sendTo(discovery::DISCOVERY_GROUP, discovery::DISCOVERY_PORT, datagram);
}

std::vector<WireDatagram> WirePeer::sentByOthers() {
  std::vector<WireDatagram> seen;
  const std::uint32_t marker = ++markerCount_;
  std::uint8_t markerPayload[4];
  std::memcpy(markerPayload, &marker, 4);
  sendToGroup(discovery::encodeDatagram(kMarkerCommand, markerPayload));
  const std::uint16_t ownPort = sender_.localPort();
  const auto deadline = std::chrono::steady_clock::now() + kMarkerTimeout;

  while (std::chrono::steady_clock::now() < deadline) {
    auto datagram = nextGroupDatagram(socketOf(capture_), std::chrono::milliseconds(100));
    // A raw socket sees only what the host takes in: each datagram once.
    if (!datagram || datagram->destinationPort != discovery::DISCOVERY_PORT) continue;
    if (datagram->sourcePort == ownPort) {
      if (discovery::commandOf(datagram->payload) == kMarkerCommand && datagram->payload.size() == 20 &&
          std::memcmp(datagram->payload.data() + 16, &marker, 4) == 0)
        return seen;
      continue;
    }
    seen.push_back({std::move(datagram->payload), datagram->ttl, datagram->sourcePort});
  }
  ADD_FAILURE() << "the peer's marker datagram never showed up on the wire";
  return seen;
}

}  // namespace testsupport
