// Linux: an empty UDP datagram to each address's discard port makes the
// kernel resolve the address on its link (ARP); the neighbour table, read and
// watched through rtnetlink, tells the outcome: reachable is in use, with the
// MAC that answered; failed, after the kernel's broadcast requests, is free.
// An old entry (stale, delay, probe) is old news: the kernel's own probe of
// it decides, and when that fails the address is asked again, by broadcast.
// Nothing here needs a privilege: unprivileged processes may send UDP, dump
// the neighbour table and hear its changes.
#include <linux/neighbour.h>
#include <linux/rtnetlink.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <system_error>
#include <utility>

#include "discovery/address_check.h"
#include "discovery/platform/linux/route_netlink.h"

namespace discovery {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr std::uint16_t kDiscardPort = 9;
// Beyond the kernel's own probe time, for its timers to fire.
constexpr milliseconds kWindowMargin{1000};
// The kernel's defaults: 5 s before an old entry is probed, then 3 unicast
// and 3 broadcast probes 1 s apart.
constexpr long kDefaultProbeMilliseconds = 11000;
// Settings beyond these are taken as these, so that no sum overflows and the
// window fits poll()'s time-out.
constexpr long kMostPerSetting = 1000 * 1000;
constexpr long kLongestProbeMilliseconds = 24L * 60 * 60 * 1000;
// Neighbour events come in bursts as answers arrive; the table is dumped
// again should they overflow it anyway.
constexpr int kEventBuffer = 1 << 20;

std::string lastError(const char* call) { return std::string(call) + ": " + std::generic_category().message(errno); }

class Descriptor {
 public:
  explicit Descriptor(int descriptor) : descriptor_(descriptor) {}
  ~Descriptor() {
    if (descriptor_ >= 0) ::close(descriptor_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return descriptor_; }
  explicit operator bool() const { return descriptor_ >= 0; }

 private:
  int descriptor_;
};

// The longest the kernel may take, on any interface, to decide an address:
// an old entry waits delay_first_probe_time before it is probed; each probe
// (unicast, through the ARP daemon, broadcast) waits retrans_time_ms.
milliseconds probeWindow() {
  long longest = 0;
  std::error_code error;
  for (std::filesystem::directory_iterator device("/proc/sys/net/ipv4/neigh", error), end; !error && device != end;
       device.increment(error)) {
    const auto setting = [&device](const char* name) {
      long value = 0;
      std::ifstream(device->path() / name) >> value;
      return std::clamp(value, 0L, kMostPerSetting);
    };
    const long probes = setting("ucast_solicit") + setting("app_solicit") + setting("mcast_solicit") +
                        setting("mcast_resolicit");
    longest = std::max(longest, setting("delay_first_probe_time") * 1000 + probes * setting("retrans_time_ms"));
  }
  return milliseconds(longest > 0 ? std::min(longest, kLongestProbeMilliseconds) : kDefaultProbeMilliseconds) +
         kWindowMargin;
}

int openNeighbourEvents() {
  const int socket = ::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC | SOCK_NONBLOCK, NETLINK_ROUTE);
  if (socket < 0) return socket;
  ::setsockopt(socket, SOL_SOCKET, SO_RCVBUF, &kEventBuffer, sizeof kEventBuffer);
  sockaddr_nl local{};
  local.nl_family = AF_NETLINK;
  local.nl_groups = RTMGRP_NEIGH;
  if (::bind(socket, reinterpret_cast<const sockaddr*>(&local), sizeof local) == 0) return socket;
  const int error = errno;
  ::close(socket);
  errno = error;
  return -1;
}

// The addresses not yet answered, each with what is known of its neighbour
// entry.
class Outcomes {
 public:
  Outcomes(const std::vector<Ipv4Bytes>& addresses, const AddressProbe::Answered& answered) : answered_(answered) {
    for (const Ipv4Bytes& address : addresses) open_.emplace(address, Entry{});
  }

  bool allAnswered() const { return open_.empty(); }
  std::vector<Ipv4Bytes> openAddresses() const {
    std::vector<Ipv4Bytes> addresses;
    for (const auto& entry : open_) addresses.push_back(entry.first);
    return addresses;
  }

  void cannotVerify(const Ipv4Bytes& address, std::string reason) {
    AddressAnswer answer;
    answer.address = address;
    answer.reason = std::move(reason);
    settle(std::move(answer));
  }

  // Neighbour messages, from a dump or as events.
  void apply(const std::vector<netlink::Message>& messages) {
    for (const netlink::Message& message : messages) {
      const auto neighbour = netlink::parse<ndmsg>(message);
      if (message.type != RTM_NEWNEIGH || !neighbour || neighbour->header.ndm_family != AF_INET) continue;
      const auto address = netlink::valueOf<Ipv4Bytes>(neighbour->attributes, NDA_DST);
      if (!address || !open_.contains(*address)) continue;
      const auto linkAddress = neighbour->attributes.find(NDA_LLADDR);
      note(*address, neighbour->header.ndm_state,
           linkAddress == neighbour->attributes.end() ? netlink::Bytes{} : linkAddress->second);
    }
  }

  // The addresses to send to again, each once: see note().
  std::vector<Ipv4Bytes> takeAskAgain() { return std::exchange(askAgain_, {}); }

  // The window has closed: an entry still resolving had no answer; an old
  // one whose probe has not ended proves nothing either way.
  void closeWindow(milliseconds window) {
    for (const Ipv4Bytes& address : openAddresses()) {
      const auto state = open_.at(address).state;
      if (state && (*state & NUD_INCOMPLETE)) {
        free(address);
      } else if (state) {
        cannotVerify(address, "the kernel's probe of its earlier neighbour entry did not end within " +
                                  std::to_string(window.count()) + " ms");
      } else {
        cannotVerify(address, "the kernel made no neighbour entry for it (is it routed through a gateway?)");
      }
    }
  }

 private:
  void note(const Ipv4Bytes& address, std::uint16_t state, netlink::Bytes linkAddress) {
    if ((state & (NUD_REACHABLE | NUD_PERMANENT)) && !linkAddress.empty()) {
      AddressAnswer answer;
      answer.address = address;
      answer.use = AddressUse::InUse;
      answer.linkAddress =
          formatLinkAddress(reinterpret_cast<const unsigned char*>(linkAddress.data()), linkAddress.size());
      settle(std::move(answer));
    } else if (state & NUD_FAILED) {
      failed(address);
    } else if (state & NUD_NOARP) {
      cannotVerify(address, "its adapter resolves no addresses (no ARP)");
    } else {
      open_[address].state = state;
    }
  }

  // A failure after broadcast requests (a new entry's) means that no host
  // holds the address. An old entry's probes went to the MAC it held, which
  // another device may have taken the address from: asked again, the
  // kernel broadcasts.
  void failed(const Ipv4Bytes& address) {
    Entry& entry = open_[address];
    if (entry.askedAgain || (entry.state && (*entry.state & NUD_INCOMPLETE))) return free(address);
    entry.askedAgain = true;
    askAgain_.push_back(address);
  }

  void free(const Ipv4Bytes& address) {
    AddressAnswer answer;
    answer.address = address;
    answer.use = AddressUse::Free;
    settle(std::move(answer));
  }

  void settle(AddressAnswer answer) {
    open_.erase(answer.address);
    answered_(answer);
  }

  struct Entry {
    std::optional<std::uint16_t> state;  // as last seen
    bool askedAgain = false;
  };
  std::map<Ipv4Bytes, Entry> open_;
  std::vector<Ipv4Bytes> askAgain_;
  const AddressProbe::Answered& answered_;
};

// Each datagram from a socket of its own, closed at once: a datagram waiting
// for its address to resolve stays queued in the kernel, and no socket's send
// buffer fills however many addresses there are.
void sendToEach(const std::vector<Ipv4Bytes>& addresses, Outcomes& outcomes) {
  for (const Ipv4Bytes& address : addresses) {
    const Descriptor socket(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    sockaddr_in target{};
    target.sin_family = AF_INET;
    target.sin_port = htons(kDiscardPort);
    std::memcpy(&target.sin_addr, address.data(), address.size());
    if (!socket) {
      outcomes.cannotVerify(address, lastError("socket"));
    } else if (::sendto(socket.get(), nullptr, 0, MSG_DONTWAIT, reinterpret_cast<const sockaddr*>(&target),
                        sizeof target) < 0) {
      outcomes.cannotVerify(address, lastError("sendto"));
    }
  }
}

bool readTable(Outcomes& outcomes) {
  const auto table = netlink::dump(RTM_GETNEIGH, AF_INET);
  if (table) outcomes.apply(*table);
  return table.has_value();
}

// Every event waiting on the socket; false when the table could not be read
// again after events were lost.
bool readEvents(int events, Outcomes& outcomes) {
  std::vector<std::byte> datagram(64 * 1024);
  for (;;) {
    const ssize_t length = ::recv(events, datagram.data(), datagram.size(), MSG_DONTWAIT);
    if (length < 0 && errno == EINTR) continue;
    if (length < 0 && errno == ENOBUFS) {
      if (!readTable(outcomes)) return false;
      continue;
    }
    if (length <= 0) return true;
    if (const auto messages = netlink::messagesIn(netlink::Bytes(datagram.data(), static_cast<std::size_t>(length))))
      outcomes.apply(*messages);
  }
}

void failAll(Outcomes& outcomes, const std::string& reason) {
  for (const Ipv4Bytes& address : outcomes.openAddresses()) outcomes.cannotVerify(address, reason);
}

class NeighbourProbe final : public AddressProbe {
 public:
  void probe(const std::vector<Ipv4Bytes>& addresses, std::stop_token stop, const Answered& answered) override {
    Outcomes outcomes(addresses, answered);
    const milliseconds window = probeWindow();
    // Listening before anything is sent, so that no change is missed.
    const Descriptor events(openNeighbourEvents());
    if (!events) return failAll(outcomes, lastError("neighbour events (netlink)"));
    const Descriptor wake(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
    if (!wake) return failAll(outcomes, lastError("eventfd"));
    const std::stop_callback onStop(stop, [&wake] {
      const std::uint64_t one = 1;
      [[maybe_unused]] const auto written = ::write(wake.get(), &one, sizeof one);
    });

    // Every datagram is sent before any answer is awaited: the addresses
    // resolve side by side.
    sendToEach(addresses, outcomes);
    // An entry already reachable changes no state, so tells no event.
    if (!readTable(outcomes)) return failAll(outcomes, "the kernel's neighbour table could not be read");
    const auto deadline = Clock::now() + window;
    while (!outcomes.allAnswered() && !stop.stop_requested()) {
      sendToEach(outcomes.takeAskAgain(), outcomes);
      const auto left = std::chrono::ceil<milliseconds>(deadline - Clock::now()).count();
      if (left <= 0) return outcomes.closeWindow(window);
      pollfd watched[] = {{events.get(), POLLIN, 0}, {wake.get(), POLLIN, 0}};
      if (::poll(watched, 2, static_cast<int>(left)) < 0 && errno != EINTR)
        return failAll(outcomes, lastError("poll"));
      if (!readEvents(events.get(), outcomes))
        return failAll(outcomes, "the kernel's neighbour table could not be read");
    }
  }
};

}  // namespace

AddressProbe& systemAddressProbe() {
  static NeighbourProbe probe;
  return probe;
}

}  // namespace discovery
