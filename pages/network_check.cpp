#include "pages/network_check.h"

#include <algorithm>
#include <chrono>
#include <map>
#include <numeric>

#include "res/strings.h"

namespace pages {
namespace {

namespace text = ui::strings::network;
using discovery::AdapterFacts;
using discovery::AdapterTraffic;
using discovery::FirewallVerdict;
using discovery::NetworkFacts;

// Where sysctl runs as pkexec finds it: /sbin holds it on every distribution
// (a link to /usr/sbin or /usr/bin where those were merged).
constexpr const char* kSysctl = "/sbin/sysctl";

bool linkLocal(const discovery::AssignedAddress& assigned) {
  return assigned.address[0] == 169 && assigned.address[1] == 254;
}

std::string addressesOf(const AdapterFacts& adapter) {
  if (adapter.addresses.empty()) return text::kNoIpv4;
  std::string listed;
  for (const auto& assigned : adapter.addresses)
    listed += (listed.empty() ? "" : " ") + discovery::formatAddress(assigned.address) + "/" +
              std::to_string(assigned.prefixLength);
  return listed;
}

std::string membershipOf(const AdapterTraffic* traffic) {
  if (!traffic) return text::kNotSearched;
  switch (traffic->membership) {
    case AdapterTraffic::Membership::Joined: return text::kJoined;
    case AdapterTraffic::Membership::Refused: return text::joinRefused(traffic->joinError);
    case AdapterTraffic::Membership::NoSocket: return text::noSocket(traffic->joinError);
  }
  return {};
}

std::string trafficOf(const AdapterTraffic& traffic, AdapterTraffic::Clock::time_point now) {
  std::string said = "，" + text::traffic(traffic.searchesSent, traffic.answersHeard);
  if (traffic.droppedDatagrams) said += "，" + text::dropped(*traffic.droppedDatagrams);
  if (!traffic.lastAnswer) return said + "，" + text::kNoAnswerYet;
  const auto ago = std::chrono::duration_cast<std::chrono::seconds>(now - *traffic.lastAnswer).count();
  return said + "，" + text::lastAnswer(std::max<long long>(ago, 0));
}

std::string adapterLine(const AdapterFacts& adapter, const AdapterTraffic* traffic,
                        AdapterTraffic::Clock::time_point now) {
  std::string details = std::string(adapter.up ? text::kUp : text::kDown) + "，" + addressesOf(adapter) + "，" +
                        membershipOf(traffic);
  if (traffic) details += trafficOf(*traffic, now);
  return text::adapterLine(adapter.name, details);
}

// sysctl writes a name's dots as slashes (eth0.5 is net.ipv4.conf.eth0/5).
std::string sysctlKey(std::string adapter) {
  std::replace(adapter.begin(), adapter.end(), '.', '/');
  return "net.ipv4.conf." + adapter + ".rp_filter=0";
}

// The filter in force is the larger of `all` and the adapter's own. Loose
// (2) drops an answer when no route leads back to its sender at all: no
// default route, and the camera in a subnet of no adapter. Strict (1) also
// drops it when the route back leaves through another adapter.
std::optional<Finding> reversePathFinding(const AdapterFacts& adapter, const NetworkFacts& facts,
                                          std::optional<std::uint64_t> drops) {
  const int own = adapter.reversePathFilter.value_or(0), all = facts.reversePathFilterAll.value_or(0);
  const int inForce = std::max(own, all);
  const bool anyDefaultRoute =
      std::any_of(facts.adapters.begin(), facts.adapters.end(), [](const AdapterFacts& a) { return a.defaultRoute; });
  const bool answersDropped = inForce == 1 ? !adapter.defaultRoute : inForce >= 2 && !anyDefaultRoute;
  if (!answersDropped) return std::nullopt;
  const std::string dropping = drops && *drops > 0 ? text::kDroppingNow + text::droppedByFilter(*drops)
                                                   : std::string(text::kNoDropSeen);
  const bool allToo = all > 0 && all >= own;
  Finding finding{Problem::ReversePathFilter, adapter.name,
                  text::reversePathFilter(adapter.name, inForce, inForce == 1 ? text::kStrict : text::kLoose, dropping,
                                          commandLine(reversePathFix(adapter.name, own, all, false)), allToo),
                  {}};
  if (facts.canElevate) finding.fix = reversePathFix(adapter.name, own, all, true);
  return finding;
}

void addAdapterFindings(const AdapterFacts& adapter, const NetworkSnapshot& snapshot, std::vector<Finding>& found) {
  const bool addressed = !adapter.addresses.empty();
  if (adapter.up && !addressed) found.push_back({Problem::NoAddress, adapter.name, text::noAddress(adapter.name), {}});
  if (adapter.up && addressed && std::all_of(adapter.addresses.begin(), adapter.addresses.end(), linkLocal))
    found.push_back({Problem::LinkLocalOnly, adapter.name, text::linkLocalOnly(adapter.name), {}});
  if (adapter.up && addressed)
    if (auto filtered = reversePathFinding(adapter, snapshot.facts, snapshot.reversePathDropsDuringCheck))
      found.push_back(std::move(*filtered));
  if (!adapter.virtualKind.empty())
    found.push_back({Problem::VirtualAdapter, adapter.name, text::virtualAdapter(adapter.name, adapter.virtualKind), {}});
}

std::optional<Finding> portFinding(const NetworkSnapshot& snapshot) {
  const auto& holders = snapshot.facts.portHolders;
  // The channel names the call that failed first.
  const bool bindFailed = !snapshot.channelOpen && snapshot.openError.starts_with("bind");
  if (holders.empty() && !bindFailed) return std::nullopt;
  const auto named = std::find_if(holders.begin(), holders.end(),
                                  [](const discovery::PortHolder& holder) { return !holder.program.empty(); });
  return Finding{Problem::PortTaken, {},
                 named != holders.end() ? text::portTakenBy(named->program, named->processId.value_or(0))
                                        : text::kPortTaken,
                 {}};
}

std::optional<Finding> firewallFinding(FirewallVerdict verdict) {
  const char* said = nullptr;
  switch (verdict) {
    case FirewallVerdict::NotApplicable:
    case FirewallVerdict::Allowed: return std::nullopt;
    case FirewallVerdict::NoRule: said = text::kFirewallNoRule; break;
    case FirewallVerdict::Blocked: said = text::kFirewallBlocked; break;
    case FirewallVerdict::RuleDisabled: said = text::kFirewallRuleDisabled; break;
    case FirewallVerdict::ProfileNotCovered: said = text::kFirewallProfileNotCovered; break;
    case FirewallVerdict::CannotTell: said = text::kFirewallCannotTell; break;
  }
  return Finding{Problem::Firewall, {}, said, {}};
}

void addTrafficFindings(const std::vector<AdapterTraffic>& traffic, std::vector<Finding>& found) {
  std::string unopened;
  std::size_t count = 0;
  std::uint64_t searches = 0, answers = 0;
  for (const AdapterTraffic& adapter : traffic) {
    searches += adapter.searchesSent;
    answers += adapter.answersHeard;
    if (adapter.membership != AdapterTraffic::Membership::NoSocket) continue;
    unopened += (count++ == 0 ? "" : ", ") + adapter.name;
  }
  if (count > 0) found.push_back({Problem::NoSocket, {}, text::adaptersWithoutSocket(count, unopened), {}});
  if (searches > 0 && answers == 0) found.push_back({Problem::NothingHeard, {}, text::kNothingHeard, {}});
}

}  // namespace

NetworkReport buildReport(const NetworkSnapshot& snapshot) {
  std::map<unsigned, const AdapterTraffic*> trafficByIndex;
  for (const AdapterTraffic& traffic : snapshot.traffic) trafficByIndex[traffic.index] = &traffic;
  NetworkReport report;
  for (const AdapterFacts& adapter : snapshot.facts.adapters) {
    if (adapter.loopback) continue;
    const auto traffic = trafficByIndex.find(adapter.index);
    report.adapterLines.push_back(
        adapterLine(adapter, traffic == trafficByIndex.end() ? nullptr : traffic->second, snapshot.now));
    addAdapterFindings(adapter, snapshot, report.findings);
  }
  if (auto port = portFinding(snapshot)) report.findings.push_back(std::move(*port));
  if (auto firewall = firewallFinding(snapshot.facts.firewall)) report.findings.push_back(std::move(*firewall));
  addTrafficFindings(snapshot.traffic, report.findings);
  return report;
}

std::string NetworkReport::text() const {
  std::string said = std::string(text::kAdaptersHeading) + "\r\n";
  for (const std::string& line : adapterLines) said += line + "\r\n";
  said += std::string("\r\n") + text::kProblemsHeading + "\r\n";
  if (findings.empty()) said += std::string(text::kNoProblem) + "\r\n";
  for (std::size_t i = 0; i < findings.size(); ++i) said += std::to_string(i + 1) + ". " + findings[i].text + "\r\n";
  return said;
}

std::vector<std::string> reversePathFix(const std::string& adapter, int own, int all, bool elevated) {
  std::vector<std::string> argv;
  if (elevated) argv = {"pkexec", kSysctl};
  else argv = {"sysctl"};
  argv.push_back("-w");
  if (all > 0) argv.push_back(sysctlKey("all"));
  if (own > 0 || all == 0) argv.push_back(sysctlKey(adapter));
  return argv;
}

std::string commandLine(const std::vector<std::string>& argv) {
  return std::accumulate(argv.begin(), argv.end(), std::string(), [](std::string line, const std::string& argument) {
    return line.empty() ? argument : line + " " + argument;
  });
}

NetworkCheck::NetworkCheck(discovery::MulticastChannel& channel, discovery::NetworkInspector& inspector)
    : channel_(channel), inspector_(inspector) {}

void NetworkCheck::begin() {
  dropsAtBegin_ = inspector_.inspect(discovery::DISCOVERY_PORT).reversePathDrops;
  channel_.sendSearch();
}

NetworkReport NetworkCheck::report() {
  NetworkSnapshot snapshot;
  snapshot.facts = inspector_.inspect(discovery::DISCOVERY_PORT);
  snapshot.traffic = channel_.traffic();
  snapshot.channelOpen = channel_.isOpen();
  snapshot.openError = channel_.openError();
  if (dropsAtBegin_ && snapshot.facts.reversePathDrops && *snapshot.facts.reversePathDrops >= *dropsAtBegin_)
    snapshot.reversePathDropsDuringCheck = *snapshot.facts.reversePathDrops - *dropsAtBegin_;
  snapshot.now = discovery::AdapterTraffic::Clock::now();
  return buildReport(snapshot);
}

bool NetworkCheck::applyFix(const Finding& finding, CommandRunner& runner) {
  if (finding.fix.empty() || !runner.run(finding.fix)) return false;
  channel_.sendSearch();
  return true;
}

}  // namespace pages
