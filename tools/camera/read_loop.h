// The read loop the simulator's sockets share: every datagram to a handler,
// until the socket is interrupted.
#pragma once

#include <functional>

#include "discovery/datagram_socket.h"

namespace camerasim {

// Hands each datagram read from `socket` to `handle`, until interrupt() is
// called or `handle` returns false; a failed read costs discovery::kIdlePause.
void readUntilInterrupted(discovery::DatagramSocket& socket,
                          const std::function<bool(const discovery::ReceivedDatagram&)>& handle);

}  // namespace camerasim
