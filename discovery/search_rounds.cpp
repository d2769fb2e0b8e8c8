#include "discovery/search_rounds.h"

#include <algorithm>

namespace discovery {

void SearchRounds::searchSent(Clock::time_point now, std::optional<std::uint32_t> drops) {
  open_ = drops.has_value();
  repeats_ = 0;
  roundStart_ = lastCheck_ = now;
  dropsAtRoundStart_ = drops.value_or(0);
}

std::optional<SearchRounds::Clock::time_point> SearchRounds::nextCheck(Clock::time_point lastAnswer) const {
  if (!open_) return std::nullopt;
  const Clock::time_point windowCloses = std::max(roundStart_ + kRoundWindow, lastCheck_);
  const Clock::time_point quietAfterAnswer = lastAnswer + kRoundQuiet;
  return quietAfterAnswer > lastCheck_ ? std::min(quietAfterAnswer, windowCloses) : windowCloses;
}

bool SearchRounds::check(Clock::time_point now, std::optional<std::uint32_t> drops) {
  lastCheck_ = now;
  if (!open_) return false;
  // Compared for change, not size: the count may wrap around.
  if (drops && *drops != dropsAtRoundStart_) {
    if (repeats_ == kMaxSearchRepeats) {
      open_ = false;
      return false;
    }
    ++repeats_;
    roundStart_ = now;
    dropsAtRoundStart_ = *drops;
    return true;
  }
  if (now >= roundStart_ + kRoundWindow) open_ = false;
  return false;
}

}  // namespace discovery
