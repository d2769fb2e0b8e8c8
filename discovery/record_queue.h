// Hands the channel's records from the receive thread to a consumer thread
// without ever making the receive thread wait for the consumer: records are
// queued in arrival order, a whole batch at a time, and the consumer is woken
// once each time the queue turns from empty to non-empty.
#pragma once

#include <functional>
#include <mutex>
#include <vector>

#include "discovery/channel.h"

namespace discovery {

class RecordQueue : public ChannelReceiver {
 public:
  // `wakeConsumer` runs on the receive thread; it must only schedule work.
  explicit RecordQueue(std::function<void()> wakeConsumer);

  void deviceFound(DeviceInfoRecord record) override;
  void ipChanged(SetIpRecord record) override;
  void endOfBatch() override;

  // Everything queued so far, oldest first.
  std::vector<DecodedRecord> takeAll();

 private:
  std::function<void()> wakeConsumer_;
  std::vector<DecodedRecord> batch_;  // the receive thread's own, until the batch ends
  std::mutex mutex_;
  std::vector<DecodedRecord> queued_;
};

}  // namespace discovery
