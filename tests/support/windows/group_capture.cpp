// Windows: the capture is a raw IPv4 socket for UDP, which gets a copy of
// every UDP datagram the host takes in, IP header included; it sees nothing
// leave.
#include "support/group_capture.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstring>

#include "discovery/channel.h"

namespace testsupport {
namespace {

constexpr int kIpHeaderTtl = 8;
constexpr int kIpHeaderProtocol = 9;
constexpr int kIpHeaderDestination = 16;
constexpr std::size_t kUdpHeaderSize = 8;

}  // namespace

std::optional<CapturedDatagram> nextGroupDatagram(std::intptr_t handle, std::chrono::milliseconds wait) {
  const auto capture = static_cast<SOCKET>(handle);
  WSAPOLLFD ready{capture, POLLRDNORM, 0};
  if (WSAPoll(&ready, 1, static_cast<INT>(wait.count())) <= 0) return std::nullopt;
  std::uint8_t packet[65536];
  const int size = ::recv(capture, reinterpret_cast<char*>(packet), sizeof packet, 0);
  if (size < 20) return std::nullopt;
  const std::size_t udp = (packet[0] & 0x0F) * 4u;
  if (packet[kIpHeaderProtocol] != IPPROTO_UDP || static_cast<std::size_t>(size) < udp + kUdpHeaderSize ||
      std::memcmp(packet + kIpHeaderDestination, discovery::DISCOVERY_GROUP.data(), 4) != 0)
    return std::nullopt;
  return CapturedDatagram{false, packet[kIpHeaderTtl], static_cast<std::uint16_t>(packet[udp] << 8 | packet[udp + 1]),
                          static_cast<std::uint16_t>(packet[udp + 2] << 8 | packet[udp + 3]),
                          discovery::Bytes(packet + udp + kUdpHeaderSize, packet + size)};
}

}  // namespace testsupport
