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
#include <span>
#include <vector>

#include "discovery/channel.h"

namespace discovery {

class RecordQueue : public ChannelReceiver {
 public:
  // `wakeConsumer` runs on the receive thread; it must only schedule work. It
  // is called again only after the consumer has taken what was queued.
  explicit RecordQueue(std::function<void()> wakeConsumer);

  void deviceFound(DeviceInfoRecord record) override;
  void ipChanged(SetIpRecord record) override;
  void endOfBatch() override;
  void quiet() override;

  // Everything queued so far, oldest first.
  std::vector<DecodedRecord> takeAll();

 private:
  std::function<void()> wakeConsumer_;
  std::vector<DecodedRecord> batch_;  // the receive thread's own, until the batch ends
  std::mutex mutex_;
  std::vector<DecodedRecord> queued_;
  bool consumerWoken_ = false;
};

// The consumer's side: records taken from the queue and not applied yet,
// handed out a step at a time so that a large burst can be applied in
// several goes.
class RecordBacklog {
 public:
  // Adds what the queue holds behind what is left; true when nothing was
  // left, so that these records start a new burst.
  bool takeFrom(RecordQueue& queue);
  // The next `most` records at most, oldest first.
  std::span<const DecodedRecord> next(std::size_t most);
  bool empty() const { return next_ == records_.size(); }

 private:
  std::vector<DecodedRecord> records_;
  std::size_t next_ = 0;
};

}  // namespace discovery
