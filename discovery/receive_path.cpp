#include "discovery/receive_path.h"

namespace discovery {

std::optional<DecodedRecord> decodeReceived(const ReceivedDatagram& datagram) {
  if (datagram.truncated) return std::nullopt;
  return decode(datagram.payload());
}

}  // namespace discovery
