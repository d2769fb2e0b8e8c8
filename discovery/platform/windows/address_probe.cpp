// Windows: SendARP for each address, which asks the link itself and needs no
// administrator. SendARP waits for its answer (about 3 s for a free address)
// and cannot be interrupted, so each address is asked on a thread of the
// system's pool, all at once. On stop the probe returns at once: a call
// still waiting then finishes into a record it shares with nobody but its
// siblings. The pool, not detached C++ threads: those are started and ended
// through the threads library, whose reuse of a finished thread's record
// crashed a new thread before it ran.
#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>

#include <condition_variable>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <system_error>

#include "discovery/address_check.h"

namespace discovery {
namespace {

struct Arrivals {
  std::mutex mutex;
  std::condition_variable_any arrived;
  std::deque<AddressAnswer> answers;

  void add(AddressAnswer answer) {
    const std::lock_guard lock(mutex);
    answers.push_back(std::move(answer));
    arrived.notify_one();
  }
};

AddressAnswer askLink(const Ipv4Bytes& address) {
  IPAddr destination;
  std::memcpy(&destination, address.data(), sizeof destination);
  ULONG linkAddress[2] = {};
  ULONG length = sizeof linkAddress;
  const DWORD result = SendARP(destination, 0, linkAddress, &length);
  AddressAnswer answer;
  answer.address = address;
  if (result == NO_ERROR && length > 0) {
    answer.use = AddressUse::InUse;
    answer.linkAddress = formatLinkAddress(reinterpret_cast<const unsigned char*>(linkAddress), length);
  } else if (result == ERROR_BAD_NET_NAME || result == ERROR_GEN_FAILURE) {
    // What SendARP says when no reply came; the address is on the link.
    answer.use = AddressUse::Free;
  } else {
    answer.reason = "SendARP: " + std::system_category().message(static_cast<int>(result));
  }
  return answer;
}

// One address asked on a thread of the pool.
struct Asking {
  std::shared_ptr<Arrivals> arrivals;
  Ipv4Bytes address;
};

void CALLBACK askOnThePool(PTP_CALLBACK_INSTANCE, void* context) {
  const std::unique_ptr<Asking> asking(static_cast<Asking*>(context));
  asking->arrivals->add(askLink(asking->address));
}

class ArpProbe final : public AddressProbe {
 public:
  ArpProbe() {
    InitializeThreadpoolEnvironment(&environment_);
    // Each call waits seconds: the pool starts threads for them at once
    // rather than queueing them behind each other.
    SetThreadpoolCallbackRunsLong(&environment_);
  }

  void probe(const std::vector<Ipv4Bytes>& addresses, std::stop_token stop, const Answered& answered) override {
    const auto arrivals = std::make_shared<Arrivals>();
    for (const Ipv4Bytes& address : addresses) {
      auto asking = std::make_unique<Asking>(Asking{arrivals, address});
      if (TrySubmitThreadpoolCallback(askOnThePool, asking.get(), &environment_)) {
        asking.release();  // the callback owns it now
      } else {
        AddressAnswer unasked;
        unasked.address = address;
        unasked.reason = "no thread to ask the link: " + std::system_category().message(static_cast<int>(GetLastError()));
        arrivals->add(std::move(unasked));
      }
    }
    std::unique_lock lock(arrivals->mutex);
    for (std::size_t left = addresses.size(); left > 0; --left) {
      if (!arrivals->arrived.wait(lock, stop, [&arrivals] { return !arrivals->answers.empty(); })) return;
      const AddressAnswer answer = std::move(arrivals->answers.front());
      arrivals->answers.pop_front();
      lock.unlock();
      answered(answer);
      lock.lock();
    }
  }

 private:
  TP_CALLBACK_ENVIRON environment_;
};

}  // namespace

AddressProbe& systemAddressProbe() {
  static ArpProbe probe;
  return probe;
}

}  // namespace discovery
