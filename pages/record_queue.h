// Hands the channel's records from the receive thread to a consumer thread
// without ever making the receive thread wait for the consumer: records are
// queued in arrival order, a whole batch at a time. The consumer is woken
// when the channel says it is time to hand them on (quiet()): once the
// answers have quieted down, so that it does not compete with the receive
// thread while a burst is still arriving, or once they have kept coming for
// kLongestHold, so that a long stream still shows.
#pragma once

#include <functional>
#include <mutex>
#include <vector>

#include "discovery/channel.h"

namespace pages {

class RecordQueue : public discovery::ChannelReceiver {
 public:
  // `wakeConsumer` runs on the receive thread; it must only schedule work. It
  // is called again only after the consumer has taken what was queued.
  explicit RecordQueue(std::function<void()> wakeConsumer);

  void deviceFound(discovery::DeviceInfoRecord record) override;
  void ipChanged(discovery::SetIpRecord record) override;
  void endOfBatch() override;
  void quiet() override;

  // Everything queued so far, oldest first.
  std::vector<discovery::DecodedRecord> takeAll();

 private:
  std::function<void()> wakeConsumer_;
  std::vector<discovery::DecodedRecord> batch_;  // the receive thread's own, until the batch ends
  std::mutex mutex_;
  std::vector<discovery::DecodedRecord> queued_;
  bool consumerWoken_ = false;
};

}  // namespace pages
