// Whether an IPv4 address is free to give to a camera, and whether a camera
// really answers at its new one, asked of the link itself: a host can ignore
// a ping, but no host on the link can hide from address resolution. No raw
// socket, capture driver, root or administrator is needed.
//
// The rule over the PC's adapters decides what the link need not be asked
// (the PC's own addresses, addresses outside every subnet); the platform's
// AddressProbe asks the link about the rest, all at once.
#pragma once

#include <functional>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "discovery/host_network.h"

namespace discovery {

enum class AddressUse {
  InUse,         // a host answered for it, or it is this PC's own
  Free,          // nothing on the link answered for it within the probe window
  CannotVerify,  // no link-layer check could reach it, or the check could not run: see `reason`
};

struct AddressAnswer {
  Ipv4Bytes address{};
  AddressUse use = AddressUse::CannotVerify;
  // InUse by another host: the link-layer address that answered for it, as
  // "02:54:56:00:00:01" (lower case). Empty when the address is this PC's.
  std::string linkAddress;
  bool ownAddress = false;  // InUse: held by one of this PC's adapters
  std::string reason;       // CannotVerify: why, one line for the log
};

// The answer the PC's adapter list alone gives: in use for one of the PC's
// own addresses; cannot verify for an address outside the subnets of the
// adapters that are up (loopback aside), or that is such a subnet's own or
// broadcast address. Nothing when the link must be asked.
std::optional<AddressAnswer> answerFromAdapters(const std::vector<Adapter>& adapters, const Ipv4Bytes& address);

// "02:54:56:00:00:01" for those six bytes; any length, lower-case hex.
std::string formatLinkAddress(const unsigned char* bytes, std::size_t length);

// Whether two texts name the same link-layer address, whatever their case
// and separators (':', '-', '.'), as "00-1A-2B-3C-4D-5E" and
// "00:1a:2b:3c:4d:5e": to confirm that a camera answers at its new address
// with the MAC it reported. False when either holds anything else, or no
// digit.
bool sameLinkAddress(std::string_view one, std::string_view other);

// The platform's link-layer check; tests stand in for it.
class AddressProbe {
 public:
  using Answered = std::function<void(const AddressAnswer&)>;
  virtual ~AddressProbe() = default;
  // Asks the link about every address at once (each distinct, each in the
  // subnet of an adapter that is up) and passes each answer to `answered`,
  // once, as soon as it is known, in any order, on the calling thread.
  // Returns once every address is answered, or promptly after `stop` is
  // requested, leaving the rest unanswered.
  virtual void probe(const std::vector<Ipv4Bytes>& addresses, std::stop_token stop, const Answered& answered) = 0;
};

// Linux: a datagram to each address (UDP, discard port) makes the kernel
// resolve it; its neighbour table, read through rtnetlink, tells the outcome.
// Windows: SendARP for each address. Defined once per platform.
AddressProbe& systemAddressProbe();

// A running check of several addresses, all at once, on a thread of its own:
// the caller's thread never waits for the link.
class AddressCheck {
 public:
  // Starts at once. `answered` is called on the check's thread, once for each
  // distinct address, as soon as its answer is known: a taken address within
  // milliseconds, a free one after the system's resolution time (Linux: ~3 s;
  // an address with an old neighbour entry up to ~11 s); a front-end queues
  // it to its own thread. `answered` must not throw, nor destroy the check.
  // The adapters are read from `network` on the check's thread; `network` and
  // `probe` must outlive the check. Throws std::system_error when no thread
  // can be started.
  AddressCheck(HostNetwork& network, AddressProbe& probe, std::vector<Ipv4Bytes> addresses,
               AddressProbe::Answered answered);
  // Ends the check at once: when it returns, `answered` is not running and
  // is never called again.
  ~AddressCheck();
  AddressCheck(const AddressCheck&) = delete;
  AddressCheck& operator=(const AddressCheck&) = delete;

 private:
  std::jthread worker_;
};

}  // namespace discovery
