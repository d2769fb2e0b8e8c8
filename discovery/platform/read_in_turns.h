// One batch of datagrams from several sockets, for the platforms' receive():
// they are read in turns, a few datagrams from each while it has any, so that
// a socket that never runs dry crowds out none of the others; the last one
// with datagrams left takes all the room left. Each socket's datagrams keep
// their order.
#pragma once

#include <algorithm>
#include <cstddef>
#include <optional>
#include <span>
#include <utility>

#include "discovery/datagram_socket.h"

namespace discovery {

inline constexpr std::size_t kDatagramsPerTurn = 8;

// What one turn at one socket gave.
struct Turn {
  std::size_t filled = 0;  // slots filled, from the first
  bool drained = false;    // the socket had no more for now
};

// `read(source, slots)` takes a turn at one source; nothing when the read
// failed. Returns nothing when no source had a datagram and none failed.
template <typename Source, typename Read>
std::optional<ReceiveResult> readInTurns(std::span<Source> sources, std::span<ReceivedDatagram> slots, Read read) {
  std::size_t count = 0;
  bool failed = false;
  std::size_t left = sources.size();  // sources[0, left) may still have datagrams
  while (left > 0 && count < slots.size()) {
    for (std::size_t i = 0; i < left && count < slots.size();) {
      const std::size_t room = slots.size() - count;
      const std::size_t share = left == 1 ? room : std::min(kDatagramsPerTurn, room);
      const std::optional<Turn> turn = read(sources[i], slots.subspan(count, share));
      if (turn) count += turn->filled;
      if (turn && !turn->drained) {
        ++i;
        continue;
      }
      failed = failed || !turn;
      std::swap(sources[i], sources[--left]);
    }
  }
  if (count > 0) return ReceiveResult{ReceiveResult::Status::Received, count};
  if (failed) return ReceiveResult{ReceiveResult::Status::Failed};
  return std::nullopt;
}

}  // namespace discovery
