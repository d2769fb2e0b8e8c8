// What the receive thread makes of one datagram it has read, apart from the
// socket and the thread: the record to hand on, if any.
#pragma once

#include <optional>

#include "discovery/datagram_socket.h"
#include "discovery/protocol.h"

namespace discovery {

// Nothing for a datagram longer than the receive buffer (it is discarded
// undecoded, even though its first bytes are at hand) and for anything that
// is not one of the two answers; otherwise the decoded record.
std::optional<DecodedRecord> decodeReceived(const ReceivedDatagram& datagram);

}  // namespace discovery
