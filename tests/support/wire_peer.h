// A peer on the private test network: it sends datagrams to the discovery
// group as a camera would, and sees every datagram put on the wire to the
// group by anyone else (a packet capture on loopback), with its time-to-live.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "discovery/datagram_socket.h"
#include "discovery/protocol.h"

namespace testsupport {

struct WireDatagram {
  discovery::Bytes payload;
  int ttl = 0;
  std::uint16_t sourcePort = 0;
};

class WirePeer {
 public:
  // Captures what arrives on `captureInterface` (loopback by default); its
  // own datagrams leave through `sendInterfaceIndex` (0: the default one).
  explicit WirePeer(const char* captureInterface = "lo", unsigned sendInterfaceIndex = 0);
  ~WirePeer();
  WirePeer(const WirePeer&) = delete;
  WirePeer& operator=(const WirePeer&) = delete;

  bool ok() const { return capture_ >= 0 && sender_.isOpen(); }

  void sendToGroup(std::span<const std::uint8_t> datagram);
  // Puts a datagram to the group on the capture interface's link as if a
  // host at `source` had sent it, so that it arrives at the far end.
  void injectToGroup(const discovery::Ipv4Bytes& source, std::span<const std::uint8_t> datagram);

  // Everything others sent to the group since the last call, up to the point
  // where this peer's own marker datagram shows up on the wire. Whatever was
  // sent before the marker is therefore certainly included.
  std::vector<WireDatagram> sentByOthers();

 private:
  std::intptr_t capture_ = -1;  // a descriptor, or a SOCKET on Windows
  unsigned captureIndex_ = 0;
  discovery::DatagramSocket sender_;
  std::uint32_t markerCount_ = 0;
};

}  // namespace testsupport
