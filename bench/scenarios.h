// One measured burst, in one of the ways a burst can be received.
#pragma once

#include <cstddef>

namespace bench {

struct Outcome {
  std::size_t listed = 0;          // cameras listed (or datagrams counted)
  double millisecondsToLast = 0;   // from the search to the last one listed
  double longestStallMs = 0;       // longest gap between UI-thread timer ticks
  double residentBytesPerCamera = 0;
};

// The real camera page: real channel, real hand-over, real list.
Outcome measurePage(std::size_t cameras, int receiveBufferBytes);
// The receive path taken literally: default buffer, one read and one
// synchronous hand-over to the UI thread per datagram.
Outcome measureLiteral(std::size_t cameras);
// A tight read loop that only counts: the ceiling.
Outcome measureBare(std::size_t cameras, int receiveBufferBytes);

}  // namespace bench
