// What the address check said of each address, as words a test compares:
// "in use by 02:54:56:00:01:64", "in use by this PC", "free", "cannot
// verify" (only with a reason); collected from the check's thread.
#pragma once

#include <condition_variable>
#include <map>
#include <mutex>
#include <string>

#include "discovery/address_check.h"

namespace testsupport {

using Verdicts = std::map<std::string, std::string>;  // address -> verdict

inline std::string verdict(const discovery::AddressAnswer& answer) {
  switch (answer.use) {
    case discovery::AddressUse::InUse:
      return answer.ownAddress ? "in use by this PC" : "in use by " + answer.linkAddress;
    case discovery::AddressUse::Free:
      return "free";
    case discovery::AddressUse::CannotVerify:
      break;
  }
  return answer.reason.empty() ? "cannot verify, without a reason" : "cannot verify";
}

class CollectedVerdicts {
 public:
  discovery::AddressProbe::Answered sink() {
    return [this](const discovery::AddressAnswer& answer) {
      const std::lock_guard lock(mutex_);
      verdicts_[discovery::formatAddress(answer.address)] = verdict(answer);
      changed_.notify_all();
    };
  }
  // The verdicts once at least `count` addresses have one.
  Verdicts await(std::size_t count) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return verdicts_.size() >= count; });
    return verdicts_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  Verdicts verdicts_;
};

}  // namespace testsupport
