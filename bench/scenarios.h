// One measured search, answered by N cameras at once, in one of the ways a
// burst of answers can be received.
#pragma once

#include <cstddef>

namespace bench {

struct Outcome {
  std::size_t listed = 0;          // cameras listed (or datagrams counted)
  double millisecondsToLast = 0;   // from the search to the last one listed
  double longestStallMs = 0;       // longest gap between UI-thread timer ticks
  double residentBytesPerCamera = 0;
  std::size_t searches = 0;        // searches the cameras answered
};

// The real camera page: real channel, real hand-over, real list; the channel
// asks for `receiveBufferBytes` and repeats the search while answers are lost.
// With `junkPerSecond`, junk that is no answer streams to the group all along.
Outcome measurePage(std::size_t cameras, int receiveBufferBytes, int junkPerSecond);
// The receive path taken literally: default buffer, one read and one
// synchronous hand-over to the UI thread per datagram, one search.
Outcome measureLiteral(std::size_t cameras);
// `tovalen-cli search --format csv`'s session, until every camera is heard
// and its CSV written.
Outcome measureTerminal(std::size_t cameras);
// A tight read loop that only counts, after one search: the ceiling.
Outcome measureBare(std::size_t cameras, int receiveBufferBytes);

}  // namespace bench
