// Linux: the peer captures with an AF_PACKET socket on its interface, and
// can put a datagram on that interface's link as if another host sent it.
#include "support/wire_peer.h"

#include <arpa/inet.h>
#include <linux/if_ether.h>
#include <linux/if_packet.h>
#include <net/if.h>
#include <netinet/ip.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "discovery/channel.h"
#include "support/group_capture.h"

namespace testsupport {

WirePeer::WirePeer(const char* captureInterface, unsigned sendInterfaceIndex)
    : captureIndex_(if_nametoindex(captureInterface)) {
  capture_ = openCapture(captureIndex_, ETH_P_IP);
  if (sender_.create()) {
    sender_.setMulticastTtl(discovery::kMulticastTtl);
    discovery::Adapter via;
    via.index = sendInterfaceIndex;
    if (sendInterfaceIndex != 0) sender_.setMulticastInterface(via);
  }
}

WirePeer::~WirePeer() {
  if (capture_ >= 0) ::close(capture_);
}

void WirePeer::injectToGroup(const discovery::Ipv4Bytes& source, std::span<const std::uint8_t> datagram) {
  std::vector<std::uint8_t> packet(20 + 8 + datagram.size());
  auto* ip = reinterpret_cast<iphdr*>(packet.data());
  ip->version = 4;
  ip->ihl = 5;
  ip->tot_len = htons(static_cast<std::uint16_t>(packet.size()));
  ip->ttl = discovery::kMulticastTtl;
  ip->protocol = IPPROTO_UDP;
  std::memcpy(&ip->saddr, source.data(), 4);
  std::memcpy(&ip->daddr, discovery::DISCOVERY_GROUP.data(), 4);
  std::uint32_t sum = 0;
  for (int i = 0; i < 10; ++i) sum += reinterpret_cast<const std::uint16_t*>(packet.data())[i];
  while (sum >> 16) sum = (sum & 0xFFFF) + (sum >> 16);
  ip->check = static_cast<std::uint16_t>(~sum);
  std::uint8_t* udp = packet.data() + 20;
  const std::uint16_t udpLength = static_cast<std::uint16_t>(8 + datagram.size());
  const std::uint8_t header[8] = {0x9C, 0x40, discovery::DISCOVERY_PORT >> 8, discovery::DISCOVERY_PORT & 0xFF,
                                  std::uint8_t(udpLength >> 8), std::uint8_t(udpLength), 0, 0};  // no checksum
  std::memcpy(udp, header, 8);
  std::copy(datagram.begin(), datagram.end(), udp + 8);

  sockaddr_ll link{};
  link.sll_family = AF_PACKET;
  link.sll_protocol = htons(ETH_P_IP);
  link.sll_ifindex = static_cast<int>(captureIndex_);
  link.sll_halen = 6;
  const std::uint8_t groupMac[6] = {0x01, 0x00, 0x5E, std::uint8_t(discovery::DISCOVERY_GROUP[1] & 0x7F),
                                    discovery::DISCOVERY_GROUP[2], discovery::DISCOVERY_GROUP[3]};
  std::memcpy(link.sll_addr, groupMac, 6);
  ::sendto(capture_, packet.data(), packet.size(), 0, reinterpret_cast<sockaddr*>(&link), sizeof link);
}

}  // namespace testsupport
