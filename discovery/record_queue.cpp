#include "discovery/record_queue.h"

#include <utility>

namespace discovery {
namespace {
// The most datagrams the channel reads at once.
constexpr std::size_t kTypicalBatch = 64;
}  // namespace

RecordQueue::RecordQueue(std::function<void()> wakeConsumer) : wakeConsumer_(std::move(wakeConsumer)) {}

void RecordQueue::deviceFound(DeviceInfoRecord record) { batch_.push_back(record); }

void RecordQueue::ipChanged(SetIpRecord record) { batch_.push_back(record); }

void RecordQueue::endOfBatch() {
  if (batch_.empty()) return;
  bool wasEmpty;
  {
    std::lock_guard lock(mutex_);
    wasEmpty = queued_.empty();
    if (wasEmpty)
      queued_.swap(batch_);
    else
      queued_.insert(queued_.end(), batch_.begin(), batch_.end());
  }
  batch_.clear();
  batch_.reserve(kTypicalBatch);
  if (wasEmpty) wakeConsumer_();
}

std::vector<DecodedRecord> RecordQueue::takeAll() {
  std::vector<DecodedRecord> taken;
  std::lock_guard lock(mutex_);
  taken.swap(queued_);
  return taken;
}

}  // namespace discovery
