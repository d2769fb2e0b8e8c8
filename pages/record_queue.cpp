#include "pages/record_queue.h"

#include <utility>

namespace pages {

RecordQueue::RecordQueue(std::function<void()> wakeConsumer) : wakeConsumer_(std::move(wakeConsumer)) {}

void RecordQueue::deviceFound(discovery::DeviceInfoRecord record) { batch_.push_back(record); }

void RecordQueue::ipChanged(discovery::SetIpRecord record) { batch_.push_back(record); }

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
  batch_.reserve(discovery::kReceiveBatch);
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

std::vector<discovery::DecodedRecord> RecordQueue::takeAll() {
  std::vector<discovery::DecodedRecord> taken;
  std::lock_guard lock(mutex_);
  taken.swap(queued_);
  consumerWoken_ = false;
  return taken;
}

}  // namespace pages
