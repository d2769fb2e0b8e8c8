// What the network check asks the system, beside what the channel saw:
// every adapter (down ones and those without IPv4 too), what kind it is,
// the reverse-path filter, who holds the discovery port, the firewall. The
// one seam for it; read once per platform (discovery/platform/*/
// network_facts.cpp), and by tests as they choose.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "discovery/adapters.h"

namespace discovery {

struct AdapterFacts {
  std::string name;
  unsigned index = 0;
  bool up = false;  // up and running
  bool loopback = false;
  std::vector<AssignedAddress> addresses;  // IPv4 only
  // Empty for a network card; otherwise what the system calls the kind of
  // virtual adapter it is ("bridge", "veth", "tun", "wireguard", "docker"),
  // or "virtual" where it only says it has no hardware.
  std::string virtualKind;
  // Linux: the adapter's own rp_filter setting (0 off, 1 strict, 2 loose).
  std::optional<int> reversePathFilter;
  bool defaultRoute = false;  // a default route leaves through it
};

// A program bound to the discovery port other than this one.
struct PortHolder {
  std::optional<long> processId;  // nothing where the system would not say
  std::string program;            // empty where the system would not say
};

// The firewall's word on the cameras' answers to this program (Windows).
enum class FirewallVerdict {
  NotApplicable,      // no firewall of that kind (Linux)
  Allowed,
  NoRule,             // no inbound rule for the program
  Blocked,            // an inbound rule blocks it (as when its first prompt was cancelled)
  RuleDisabled,       // there is one, switched off
  ProfileNotCovered,  // the rule leaves out the profile in force
  CannotTell,         // a standard user may not read it
};

struct NetworkFacts {
  std::vector<AdapterFacts> adapters;  // in the system's order
  std::optional<int> reversePathFilterAll;  // Linux: net.ipv4.conf.all.rp_filter
  // Linux: datagrams the system has dropped by reverse-path filtering so
  // far (all adapters together); nothing where it does not tell.
  std::optional<std::uint64_t> reversePathDrops;
  std::vector<PortHolder> portHolders;
  FirewallVerdict firewall = FirewallVerdict::NotApplicable;
  bool canElevate = false;  // a one-line command can be run as administrator after asking (pkexec on PATH)
};

class NetworkInspector {
 public:
  virtual ~NetworkInspector() = default;
  // Never fails: what cannot be read is left unknown.
  virtual NetworkFacts inspect(std::uint16_t port) = 0;
};

// The machine's own. Defined once per platform.
class SystemInspector : public NetworkInspector {
 public:
  NetworkFacts inspect(std::uint16_t port) override;
};

}  // namespace discovery
