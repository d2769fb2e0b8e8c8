// The network check: why the camera list stays empty or partial, for the
// installer. It reports every adapter (state, addresses, whether the search
// joined the group there, searches sent and answers heard, drops) and then
// each problem found with what to do, in the program's texts. Toolkit-free:
// a front-end shows report().text() or its lines, and offers each finding's
// fix through its own CommandRunner after asking (ui::strings::network).
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "discovery/adapter_traffic.h"
#include "discovery/channel.h"
#include "discovery/network_facts.h"

namespace pages {

// What a report is built from.
struct NetworkSnapshot {
  discovery::NetworkFacts facts;
  std::vector<discovery::AdapterTraffic> traffic;  // the channel's (MulticastChannel::traffic())
  bool channelOpen = false;
  std::string openError;  // the channel's, when it did not open
  // Datagrams the reverse-path filter dropped since the check began;
  // nothing where the system does not tell.
  std::optional<std::uint64_t> reversePathDropsDuringCheck;
  discovery::AdapterTraffic::Clock::time_point now{};
};

enum class Problem {
  NoAddress,          // up, without IPv4
  LinkLocalOnly,      // up, with 169.254.x.x only
  ReversePathFilter,  // Linux drops answers from other subnets
  PortTaken,          // another program holds the discovery port
  Firewall,           // Windows: the firewall may block the answers
  VirtualAdapter,     // container, VM, VPN, tunnel
  NoSocket,           // adapters the channel could not open a socket for
  NothingHeard,       // searches went out, no answer came back
};

struct Finding {
  Problem problem;
  std::string adapter;  // empty when it concerns no one adapter
  std::string text;     // what is wrong and what to do
  // The one command that fixes it, to run after asking; empty when none is
  // offered (no way to run it as administrator, or nothing to run).
  std::vector<std::string> fix;
};

struct NetworkReport {
  std::vector<std::string> adapterLines;  // one per adapter, loopback left out
  std::vector<Finding> findings;
  // The whole report: for a copy button and the terminal's `adapters`.
  std::string text() const;
};

NetworkReport buildReport(const NetworkSnapshot& snapshot);

// The sysctl command line that turns the reverse-path filter off for the
// adapter, `all` too where its value is the larger; with `elevated`, as
// pkexec runs it.
std::vector<std::string> reversePathFix(const std::string& adapter, int own, int all, bool elevated);
// The argv as one line to show, arguments separated by spaces.
std::string commandLine(const std::vector<std::string>& argv);

// Runs a command and waits for it; true when it succeeded. The front-end's
// (a process, where its toolkit has one); tests pass their own.
class CommandRunner {
 public:
  virtual ~CommandRunner() = default;
  virtual bool run(const std::vector<std::string>& argv) = 0;
};

// How long after begin() a front-end asks for report(): cameras answer
// within a second, and a search repeated for lost answers goes out within
// one more (see SearchRounds).
inline constexpr std::chrono::milliseconds kNetworkCheckListen{2000};

// What the machine's own system says, for a front-end's check.
using discovery::SystemInspector;

// The check's flow: begin() notes the system's counters and searches;
// report(), kNetworkCheckListen later (the front-end's timer), tells what
// happened since. The channel is the camera page's.
class NetworkCheck {
 public:
  NetworkCheck(discovery::MulticastChannel& channel, discovery::NetworkInspector& inspector);

  void begin();
  NetworkReport report();
  // Runs the finding's fix, which the user has agreed to, and searches again;
  // false when there is none or it failed.
  bool applyFix(const Finding& finding, CommandRunner& runner);

 private:
  discovery::MulticastChannel& channel_;
  discovery::NetworkInspector& inspector_;
  std::optional<std::uint64_t> dropsAtBegin_;
};

}  // namespace pages
