// Windows: the peer's capture is a raw IPv4 socket for UDP (group_capture.h;
// raw sockets need administrator rights, root under Wine). It joins the group
// so that the host takes in the group's datagrams even when nothing else
// listens.
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

SOCKET socketOf(std::intptr_t handle) { return static_cast<SOCKET>(handle); }

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

}  // namespace testsupport
