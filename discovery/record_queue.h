// Hands the channel's records from the receive thread to a consumer thread
// without ever making the receive thread wait for the consumer: records are
// queued in arrival order, and the consumer is woken once each time the queue
// turns from empty to non-empty.
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

  // Everything queued so far, oldest first.
  std::vector<DecodedRecord> takeAll();

 private:
  void push(DecodedRecord record);

  std::function<void()> wakeConsumer_;
  std::mutex mutex_;
  std::vector<DecodedRecord> queued_;
};

}  // namespace discovery
