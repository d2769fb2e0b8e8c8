#include "discovery/record_queue.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace discovery {

RecordQueue::RecordQueue(std::function<void()> wakeConsumer) : wakeConsumer_(std::move(wakeConsumer)) {}

void RecordQueue::deviceFound(DeviceInfoRecord record) { batch_.push_back(record); }

void RecordQueue::ipChanged(SetIpRecord record) { batch_.push_back(record); }

void RecordQueue::endOfBatch() {
  if (batch_.empty()) return;
  {
    std::lock_guard lock(mutex_);
    if (queued_.empty())
      queued_.swap(batch_);
    else
      queued_.insert(queued_.end(), batch_.begin(), batch_.end());
  }
  batch_.clear();
  batch_.reserve(kReceiveBatch);
}

void RecordQueue::quiet() {
  bool wake;
  {
    std::lock_guard lock(mutex_);
    wake = !consumerWoken_ && !queued_.empty();
    consumerWoken_ = consumerWoken_ || wake;
  }
  if (wake) wakeConsumer_();
}

std::vector<DecodedRecord> RecordQueue::takeAll() {
  std::vector<DecodedRecord> taken;
  std::lock_guard lock(mutex_);
  taken.swap(queued_);
  consumerWoken_ = false;
  return taken;
}

bool RecordBacklog::takeFrom(RecordQueue& queue) {
  auto arrived = queue.takeAll();
  if (!empty()) {
    records_.insert(records_.end(), std::make_move_iterator(arrived.begin()), std::make_move_iterator(arrived.end()));
    return false;
  }
  records_ = std::move(arrived);
  next_ = 0;
  return true;
}

std::span<const DecodedRecord> RecordBacklog::next(std::size_t most) {
  const std::size_t count = std::min(most, records_.size() - next_);
  const std::span<const DecodedRecord> taken(records_.data() + next_, count);
  next_ += count;
  return taken;
}

}  // namespace discovery
