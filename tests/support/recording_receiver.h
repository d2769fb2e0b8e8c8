// Stands in for the camera page as the channel's receiver: keeps every record
// handed over, lets a test wait (with a deadline) for a condition on them,
// counts the calls that come after the test said the channel was closed, and
// can hold the receive thread at the end of a batch, so that the socket's
// buffer fills up meanwhile.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <variant>
#include <vector>

#include "discovery/channel.h"

namespace testsupport {

// Far longer than anything a test waits for takes.
inline constexpr std::chrono::seconds kDeadline{10};

// The MAC of a record of either kind, as its bytes.
inline std::string macOf(const discovery::DecodedRecord& record) {
  return std::visit([](const auto& kind) { return std::string(kind.mac.text()); }, record);
}

class RecordingReceiver : public discovery::ChannelReceiver {
 public:
  using Records = std::vector<discovery::DecodedRecord>;

  void deviceFound(discovery::DeviceInfoRecord record) override { add(record); }
  void ipChanged(discovery::SetIpRecord record) override { add(record); }
  void endOfBatch() override {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return !holding_; });
  }

  bool waitUntil(const std::function<bool(const Records&)>& done, std::chrono::seconds deadline = kDeadline) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, deadline, [&] { return done(records_); });
  }
  Records records() {
    std::lock_guard lock(mutex_);
    return records_;
  }
  std::size_t count() {
    std::lock_guard lock(mutex_);
    return records_.size();
  }
  // The receive thread stops at the end of its next batch until release().
  void hold() { setHolding(true); }
  void release() { setHolding(false); }
  // From here on, every call is one too many.
  void channelClosed() { closed_ = true; }
  int callsAfterClose() const { return callsAfterClose_; }

 private:
  void add(discovery::DecodedRecord record) {
    if (closed_) ++callsAfterClose_;
    std::lock_guard lock(mutex_);
    records_.push_back(std::move(record));
    changed_.notify_all();
  }
  void setHolding(bool holding) {
    std::lock_guard lock(mutex_);
    holding_ = holding;
    changed_.notify_all();
  }

  std::mutex mutex_;
  std::condition_variable changed_;
  Records records_;
  bool holding_ = false;
  std::atomic<bool> closed_{false};
  std::atomic<int> callsAfterClose_{0};
};

// A condition for waitUntil(): the last record came from `mac`.
inline auto lastIs(std::string mac) {
  return [mac = std::move(mac)](const RecordingReceiver::Records& records) {
    return !records.empty() && macOf(records.back()) == mac;
  };
}

}  // namespace testsupport
