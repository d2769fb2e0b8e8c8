// When a search is sent again. The system drops datagrams that arrive while a
// socket's receive buffer is full, and counts them; an answer lost that way
// would stay lost, since cameras answer once per search. So a search during
// which the count grew is repeated, for as long as the last round lost some,
// and at most kMaxSearchRepeats times, so that a flood of junk cannot keep
// the program searching. A round is checked once its answers have quieted
// down, so that a repeat does not add to a burst still arriving, and at the
// latest when its window closes, so that answers that never stop cannot put
// the check off.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

namespace discovery {

inline constexpr int kMaxSearchRepeats = 8;
// No answer for this long after the last one: the answers have quieted down.
inline constexpr std::chrono::milliseconds kRoundQuiet{100};
// Cameras may take a while to answer; a round that lost nothing stays open
// this long after its search, so that late losses are noticed too. It is
// checked when the window closes, whatever is still arriving.
inline constexpr std::chrono::milliseconds kRoundWindow{1000};

class SearchRounds {
 public:
  using Clock = std::chrono::steady_clock;

  // A search went out at the user's request: the first round of a new series.
  // `drops` is the socket's drop count then (nothing where it is unknown, and
  // then no search is ever repeated).
  void searchSent(Clock::time_point now, std::optional<std::uint32_t> drops);

  // When to call check(): once the answers, the last of them at
  // `lastAnswer`, have quieted down, but no later than when the round's
  // window closes; when that quiet has been checked already, when the window
  // closes. Nothing while no round is open.
  std::optional<Clock::time_point> nextCheck(Clock::time_point lastAnswer) const;

  // True when the search must go out again now; that starts the next round.
  bool check(Clock::time_point now, std::optional<std::uint32_t> drops);

 private:
  bool open_ = false;
  int repeats_ = 0;
  Clock::time_point roundStart_{};
  Clock::time_point lastCheck_{};
  std::uint32_t dropsAtRoundStart_ = 0;
};

}  // namespace discovery
