// Linux: the capture is an AF_PACKET socket, which sees a datagram both as
// it leaves and as it arrives.
#include "support/group_capture.h"

#include <arpa/inet.h>
#include <linux/filter.h>
#include <linux/if_ether.h>
#include <linux/if_packet.h>
#include <netinet/in.h>
#include <netinet/ip.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

#include "discovery/channel.h"

namespace testsupport {

int openCapture(unsigned interfaceIndex, std::uint16_t protocol, const sock_fprog* filter) {
  // Opened for no protocol, the socket takes nothing in until it is bound:
  // the filter sees every packet it captures.
  const int capture = ::socket(AF_PACKET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (capture < 0) return -1;
  sockaddr_ll link{};
  link.sll_family = AF_PACKET;
  link.sll_protocol = htons(protocol);
  link.sll_ifindex = static_cast<int>(interfaceIndex);
  if ((filter && ::setsockopt(capture, SOL_SOCKET, SO_ATTACH_FILTER, filter, sizeof *filter) != 0) ||
      ::bind(capture, reinterpret_cast<sockaddr*>(&link), sizeof link) != 0) {
    ::close(capture);
    return -1;
  }
  return capture;
}

std::optional<CapturedDatagram> nextGroupDatagram(std::intptr_t capture, std::chrono::milliseconds wait) {
  pollfd ready{static_cast<int>(capture), POLLIN, 0};
  if (::poll(&ready, 1, static_cast<int>(wait.count())) <= 0) return std::nullopt;
  std::uint8_t packet[65536];
  sockaddr_ll from{};
  socklen_t fromSize = sizeof from;
  const ssize_t size =
      ::recvfrom(static_cast<int>(capture), packet, sizeof packet, 0, reinterpret_cast<sockaddr*>(&from), &fromSize);
  // A capture of every protocol also sees ARP and the like.
  if (size < static_cast<ssize_t>(sizeof(iphdr)) || from.sll_protocol != htons(ETH_P_IP)) return std::nullopt;
  const auto* ip = reinterpret_cast<const iphdr*>(packet);
  const std::size_t udp = ip->ihl * 4u;
  if (ip->protocol != IPPROTO_UDP || static_cast<std::size_t>(size) < udp + 8 ||
      std::memcmp(&ip->daddr, discovery::DISCOVERY_GROUP.data(), 4) != 0)
    return std::nullopt;
  return CapturedDatagram{from.sll_pkttype == PACKET_OUTGOING, ip->ttl,
                          static_cast<std::uint16_t>(packet[udp] << 8 | packet[udp + 1]),
                          static_cast<std::uint16_t>(packet[udp + 2] << 8 | packet[udp + 3]),
                          discovery::Bytes(packet + udp + 8, packet + size)};
}

}  // namespace testsupport
