// What the channel did through each adapter during this run, for the network
// check: whether it joined the group there, how many searches left and how
// many answers came through it. Kept by the channel, read by anyone.
#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "discovery/adapters.h"

namespace discovery {

struct AdapterTraffic {
  enum class Membership {
    Joined,
    Refused,   // the system refused the join (joinError says why)
    NoSocket,  // no socket could be opened for it: too few descriptors left, or the system's refusal
  };
  using Clock = std::chrono::steady_clock;

  unsigned index = 0;
  std::string name;
  Membership membership = Membership::Joined;
  std::string joinError;  // the system's reason, when not joined
  std::uint64_t searchesSent = 0;
  std::uint64_t answersHeard = 0;
  std::optional<Clock::time_point> lastAnswer;
  // Datagrams the system dropped for its socket because the receive buffer
  // was full; nothing where the system does not tell.
  std::optional<std::uint32_t> droppedDatagrams;
};

// Thread-safe: the channel's two threads write, the window's thread reads.
// Each call holds its lock for one entry only, except snapshot().
class TrafficLog {
 public:
  void joined(const Adapter& adapter);
  void joinFailed(const Adapter& adapter, AdapterTraffic::Membership why, const std::string& error);
  void searchSent(const Adapter& adapter);
  // `adapterIndex` is where it arrived; counted for adapters tried only.
  void answerHeard(unsigned adapterIndex, AdapterTraffic::Clock::time_point when);
  // Every adapter the channel tried, in index order.
  std::vector<AdapterTraffic> snapshot() const;
  void clear();

 private:
  AdapterTraffic& entryOf(const Adapter& adapter);

  mutable std::mutex mutex_;
  std::map<unsigned, AdapterTraffic> byIndex_;
};

}  // namespace discovery
