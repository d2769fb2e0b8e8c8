// A packet capture on one of the PC's interfaces: the datagrams this
// namespace sends to the discovery group through it, which is what reaches
// the network behind it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "discovery/datagram_socket.h"

namespace labtest {

struct SentDatagram {
  std::size_t size = 0;  // UDP payload
  int ttl = 0;
  bool operator==(const SentDatagram&) const = default;
};
std::ostream& operator<<(std::ostream& out, const SentDatagram& sent);

class OutgoingTap {
 public:
  // Captures from now on; ok() is false if the interface is not there.
  explicit OutgoingTap(const std::string& interface);
  ~OutgoingTap();
  OutgoingTap(const OutgoingTap&) = delete;
  OutgoingTap& operator=(const OutgoingTap&) = delete;

  bool ok() const { return capture_ >= 0 && marker_.isOpen(); }

  // The datagrams to the discovery port that left since the last call, in
  // order. The tap sends a marker of its own through the interface and reads
  // up to it, so whatever left before the call is certainly included.
  std::vector<SentDatagram> sentSinceLastCall();

 private:
  int capture_ = -1;
  discovery::DatagramSocket marker_;
  std::uint32_t markers_ = 0;
};

}  // namespace labtest
