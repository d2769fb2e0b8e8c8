#include "discovery/record_queue.h"

#include <utility>

namespace discovery {

RecordQueue::RecordQueue(std::function<void()> wakeConsumer) : wakeConsumer_(std::move(wakeConsumer)) {}

void RecordQueue::deviceFound(DeviceInfoRecord record) { push(record); }

void RecordQueue::ipChanged(SetIpRecord record) { push(record); }

void RecordQueue::push(DecodedRecord record) {
  bool wasEmpty;
  {
    std::lock_guard lock(mutex_);
    wasEmpty = queued_.empty();
    queued_.push_back(std::move(record));
  }
  if (wasEmpty) wakeConsumer_();
}

std::vector<DecodedRecord> RecordQueue::takeAll() {
  std::vector<DecodedRecord> taken;
  std::lock_guard lock(mutex_);
  taken.swap(queued_);
  return taken;
}

}  // namespace discovery
