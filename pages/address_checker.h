// Whether addresses are taken, asked of the link (discovery/address_check.h):
// the pages start a check and hear each answer on the UI thread. Tests stand
// in for the link.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "discovery/address_check.h"
#include "pages/timer.h"

namespace pages {

using discovery::AddressAnswer;
using discovery::AddressUse;

// A check under way: dropping it ends the check at once, and no answer
// comes after.
class RunningCheck {
 public:
  virtual ~RunningCheck() = default;
};

class AddressChecker {
 public:
  // On the UI thread, once for each address, in any order; never before
  // check() has returned.
  using Answered = std::function<void(const AddressAnswer&)>;
  virtual ~AddressChecker() = default;
  virtual std::unique_ptr<RunningCheck> check(std::vector<std::uint32_t> addresses, Answered answered) = 0;
};

// The real one: the platform's probe on a thread of its own, its answers
// posted to the UI thread through `timer`.
class LinkAddressChecker : public AddressChecker {
 public:
  LinkAddressChecker(discovery::HostNetwork& network, Timer& timer) : network_(network), timer_(timer) {}
  std::unique_ptr<RunningCheck> check(std::vector<std::uint32_t> addresses, Answered answered) override;

 private:
  discovery::HostNetwork& network_;
  Timer& timer_;
};

// The address an answer is for, first field most significant.
std::uint32_t answeredAddress(const AddressAnswer& answer);
// Whether the host in use at the answer's address is the camera of this MAC
// text (as shown): the link address it answered with is the one the MAC names.
bool answeredByMac(const AddressAnswer& answer, std::string_view mac);

// What the adapter list alone answers for `address`: the PC's own, or one
// no link-layer check can reach. Nothing when the link must be asked.
std::optional<AddressAnswer> answerWithoutTheLink(const std::vector<discovery::Adapter>& adapters,
                                                  std::uint32_t address);

}  // namespace pages
