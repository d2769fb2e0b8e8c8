#include "discovery/adapter_traffic.h"

namespace discovery {

AdapterTraffic& TrafficLog::entryOf(const Adapter& adapter) {
  AdapterTraffic& entry = byIndex_[adapter.index];
  entry.index = adapter.index;
  entry.name = adapter.name;  // an adapter may be renamed between two searches
  return entry;
}

void TrafficLog::joined(const Adapter& adapter) {
  std::lock_guard lock(mutex_);
  AdapterTraffic& entry = entryOf(adapter);
  entry.membership = AdapterTraffic::Membership::Joined;
  entry.joinError.clear();
}

void TrafficLog::joinFailed(const Adapter& adapter, AdapterTraffic::Membership why, const std::string& error) {
  std::lock_guard lock(mutex_);
  AdapterTraffic& entry = entryOf(adapter);
  entry.membership = why;
  entry.joinError = error;
}

void TrafficLog::searchSent(const Adapter& adapter) {
  std::lock_guard lock(mutex_);
  ++entryOf(adapter).searchesSent;
}

void TrafficLog::answerHeard(unsigned adapterIndex, AdapterTraffic::Clock::time_point when) {
  std::lock_guard lock(mutex_);
  // An answer sent to this PC alone may come through an adapter the channel
  // never searched through: it is not one the check asks about.
  const auto found = byIndex_.find(adapterIndex);
  if (found == byIndex_.end()) return;
  ++found->second.answersHeard;
  found->second.lastAnswer = when;
}

std::vector<AdapterTraffic> TrafficLog::snapshot() const {
  std::lock_guard lock(mutex_);
  std::vector<AdapterTraffic> entries;
  entries.reserve(byIndex_.size());
  for (const auto& [index, entry] : byIndex_) entries.push_back(entry);
  return entries;
}

void TrafficLog::clear() {
  std::lock_guard lock(mutex_);
  byIndex_.clear();
}

}  // namespace discovery
