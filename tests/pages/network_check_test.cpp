// The network check's rules, from snapshots of the system and the channel:
// each problem's line appears when its cause is there, and not otherwise.
#include "pages/network_check.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <set>

#include "pages/file_limit.h"
#include "res/strings.h"

#ifndef _WIN32
#include <sys/resource.h>
#endif

namespace pages {
namespace {

using discovery::AdapterFacts;
using discovery::AdapterTraffic;
using discovery::FirewallVerdict;
using testing::ElementsAre;
using testing::HasSubstr;
using testing::IsEmpty;
namespace text = ui::strings::network;

AdapterFacts adapter(std::string name, std::vector<discovery::AssignedAddress> addresses = {{{10, 1, 0, 2}, 24}},
                     bool up = true) {
  AdapterFacts facts;
  facts.name = std::move(name);
  facts.index = 2;
  facts.up = up;
  facts.addresses = std::move(addresses);
  return facts;
}

NetworkSnapshot snapshotOf(std::vector<AdapterFacts> adapters) {
  NetworkSnapshot snapshot;
  for (std::size_t i = 0; i < adapters.size(); ++i) adapters[i].index = static_cast<unsigned>(i + 2);
  snapshot.facts.adapters = std::move(adapters);
  snapshot.facts.reversePathFilterAll = 0;
  snapshot.channelOpen = true;
  return snapshot;
}

std::vector<Problem> problemsOf(const NetworkSnapshot& snapshot) {
  std::vector<Problem> problems;
  for (const Finding& finding : buildReport(snapshot).findings) problems.push_back(finding.problem);
  return problems;
}

// A copy of the first finding of that problem, for that adapter where one is given.
std::optional<Finding> findingOf(const NetworkReport& report, Problem problem, const std::string& adapter = {}) {
  for (const Finding& finding : report.findings)
    if (finding.problem == problem && (adapter.empty() || finding.adapter == adapter)) return finding;
  return std::nullopt;
}

TEST(NetworkCheckAddressTest, AnAdapterUpWithoutIpv4OrWithLinkLocalOnlyIsNamed) {
  EXPECT_THAT(problemsOf(snapshotOf({adapter("eth0", {})})), ElementsAre(Problem::NoAddress));
  EXPECT_THAT(problemsOf(snapshotOf({adapter("eth0", {{{169, 254, 7, 1}, 16}})})), ElementsAre(Problem::LinkLocalOnly));
  // Down, or with a real address beside the link-local one: nothing to say.
  EXPECT_THAT(problemsOf(snapshotOf({adapter("eth0", {}, false)})), IsEmpty());
  EXPECT_THAT(problemsOf(snapshotOf({adapter("eth0", {{{169, 254, 7, 1}, 16}, {{192, 168, 1, 5}, 24}})})), IsEmpty());
  EXPECT_THAT(problemsOf(snapshotOf({adapter("eth0", {{{169, 253, 7, 1}, 16}})})), IsEmpty());
  EXPECT_EQ(buildReport(snapshotOf({adapter("eth0", {})})).findings[0].adapter, "eth0");
}

struct FilterCase {
  int all, own;
  bool routeHere, routeElsewhere;
  std::optional<int> named;  // the value the line names; nothing for no line
};

TEST(NetworkCheckReversePathTest, StrictDropsWithoutARouteBackHereLooseWithoutAnyRoute) {
  const FilterCase cases[] = {
      {0, 0, false, false, std::nullopt}, {0, 2, false, false, 2},           {2, 0, false, false, 2},
      {2, 0, false, true, std::nullopt},  {2, 0, true, false, std::nullopt}, {0, 1, false, true, 1},
      {1, 0, false, false, 1},            {1, 2, true, false, std::nullopt}, {2, 1, false, true, std::nullopt}, {2, 1, false, false, 2},
      {0, 1, true, false, std::nullopt},
  };
  for (const FilterCase& c : cases) {
    AdapterFacts here = adapter("eth0"), other = adapter("wlan0", {{{192, 168, 9, 2}, 24}});
    here.reversePathFilter = c.own;
    here.defaultRoute = c.routeHere;
    other.defaultRoute = c.routeElsewhere;
    auto snapshot = snapshotOf({here, other});
    snapshot.facts.reversePathFilterAll = c.all;
    const auto report = buildReport(snapshot);
    // The other adapter, under `all` and without the route, may have a line of its own.
    const std::optional<Finding> finding = findingOf(report, Problem::ReversePathFilter, "eth0");
    SCOPED_TRACE("all " + std::to_string(c.all) + ", own " + std::to_string(c.own));
    ASSERT_EQ(finding.has_value(), c.named.has_value());
    if (!finding) continue;
    EXPECT_THAT(finding->text, HasSubstr("rp_filter=" + std::to_string(*c.named)));
    EXPECT_THAT(finding->text, HasSubstr(*c.named == 1 ? text::kStrict : text::kLoose));
  }
}

TEST(NetworkCheckReversePathTest, TheLineGivesTheExactCommandAndOffersItOnlyWherePkexecIs) {
  AdapterFacts vlan = adapter("eth0.5");
  vlan.reversePathFilter = 0;
  auto snapshot = snapshotOf({vlan});
  snapshot.facts.reversePathFilterAll = 2;
  const std::optional<Finding> shown = findingOf(buildReport(snapshot), Problem::ReversePathFilter);
  ASSERT_NE(shown, std::nullopt);
  // `all` is the larger: it alone must go to 0.
  EXPECT_THAT(shown->text, HasSubstr("sysctl -w net.ipv4.conf.all.rp_filter=0\r\n"));
  EXPECT_THAT(shown->text, HasSubstr("all"));
  EXPECT_THAT(shown->text, HasSubstr("下次重启"));
  EXPECT_THAT(shown->fix, IsEmpty());
  snapshot.facts.canElevate = true;
  snapshot.facts.adapters[0].reversePathFilter = 1;
  const auto report = buildReport(snapshot);
  EXPECT_THAT(findingOf(report, Problem::ReversePathFilter)->fix,
              ElementsAre("pkexec", "/sbin/sysctl", "-w", "net.ipv4.conf.all.rp_filter=0",
                          "net.ipv4.conf.eth0/5.rp_filter=0"));
  EXPECT_THAT(reversePathFix("eth0", 2, 0, false), ElementsAre("sysctl", "-w", "net.ipv4.conf.eth0.rp_filter=0"));
}

TEST(NetworkCheckReversePathTest, SaysWhetherAnswersAreBeingDropped) {
  AdapterFacts here = adapter("eth0");
  here.reversePathFilter = 2;
  auto snapshot = snapshotOf({here});
  EXPECT_THAT(findingOf(buildReport(snapshot), Problem::ReversePathFilter)->text, HasSubstr(text::kNoDropSeen));
  snapshot.reversePathDropsDuringCheck = 0;
  EXPECT_THAT(findingOf(buildReport(snapshot), Problem::ReversePathFilter)->text, HasSubstr(text::kNoDropSeen));
  snapshot.reversePathDropsDuringCheck = 12;
  EXPECT_THAT(findingOf(buildReport(snapshot), Problem::ReversePathFilter)->text, HasSubstr(text::droppedByFilter(12)));
}

TEST(NetworkCheckPortTest, TheOtherProgramIsNamedWhereTheSystemSaysWhich) {
  auto snapshot = snapshotOf({adapter("eth0")});
  EXPECT_THAT(problemsOf(snapshot), IsEmpty());
  snapshot.facts.portHolders = {{std::nullopt, ""}, {4242, "vms-client"}};
  EXPECT_EQ(findingOf(buildReport(snapshot), Problem::PortTaken)->text, text::portTakenBy("vms-client", 4242));
  snapshot.facts.portHolders = {{}};
  EXPECT_EQ(findingOf(buildReport(snapshot), Problem::PortTaken)->text, text::kPortTaken);
  // Where the system tells nothing, the failed bind still does.
  snapshot.facts.portHolders.clear();
  snapshot.channelOpen = false;
  snapshot.openError = "bind: Address already in use";
  EXPECT_EQ(findingOf(buildReport(snapshot), Problem::PortTaken)->text, text::kPortTaken);
  snapshot.openError = "socket: Too many open files";
  EXPECT_THAT(problemsOf(snapshot), IsEmpty());
}

TEST(NetworkCheckFirewallTest, EveryVerdictButAllowedHasALineOfItsOwn) {
  auto snapshot = snapshotOf({adapter("Ethernet")});
  std::set<std::string> lines;
  for (const auto verdict : {FirewallVerdict::NoRule, FirewallVerdict::Blocked, FirewallVerdict::RuleDisabled,
                             FirewallVerdict::ProfileNotCovered, FirewallVerdict::CannotTell}) {
    snapshot.facts.firewall = verdict;
    const auto finding = findingOf(buildReport(snapshot), Problem::Firewall);
    ASSERT_TRUE(finding.has_value());
    lines.insert(finding->text);
  }
  EXPECT_EQ(lines.size(), 5u);
  for (const auto verdict : {FirewallVerdict::Allowed, FirewallVerdict::NotApplicable}) {
    snapshot.facts.firewall = verdict;
    EXPECT_THAT(problemsOf(snapshot), IsEmpty());
  }
}

TEST(NetworkCheckAdapterKindTest, VirtualAdaptersAreNamedWithTheirKindLoopbackIsLeftOut) {
  AdapterFacts docker = adapter("docker0"), loopback = adapter("lo", {{{127, 0, 0, 1}, 8}});
  docker.virtualKind = "bridge";
  loopback.loopback = true;
  const auto report = buildReport(snapshotOf({adapter("eth0"), docker, loopback}));
  ASSERT_EQ(report.findings.size(), 1u);
  EXPECT_EQ(report.findings[0].text, text::virtualAdapter("docker0", "bridge"));
  EXPECT_EQ(report.adapterLines.size(), 2u);
}

AdapterTraffic trafficOf(unsigned index, std::string name, std::uint64_t searches, std::uint64_t answers) {
  AdapterTraffic traffic;
  traffic.index = index;
  traffic.name = std::move(name);
  traffic.searchesSent = searches;
  traffic.answersHeard = answers;
  return traffic;
}

TEST(NetworkCheckTrafficTest, SearchesWithNoAnswerAnywhereNameTheCausesInOrder) {
  auto snapshot = snapshotOf({adapter("eth0"), adapter("eth1", {{{10, 2, 0, 2}, 24}})});
  EXPECT_THAT(problemsOf(snapshot), IsEmpty());  // nothing sent yet
  snapshot.traffic = {trafficOf(2, "eth0", 3, 0), trafficOf(3, "eth1", 3, 0)};
  ASSERT_THAT(problemsOf(snapshot), ElementsAre(Problem::NothingHeard));
  const std::string said = buildReport(snapshot).findings[0].text;
  EXPECT_LT(said.find("网线"), said.find("通电"));
  EXPECT_LT(said.find("通电"), said.find("防火墙"));
  EXPECT_LT(said.find("防火墙"), said.find("反向路径过滤"));
  snapshot.traffic[1].answersHeard = 1;
  EXPECT_THAT(problemsOf(snapshot), IsEmpty());
}

TEST(NetworkCheckTrafficTest, AdaptersWithoutASocketAreNamedTogether) {
  auto snapshot = snapshotOf({adapter("m1"), adapter("m2"), adapter("m3")});
  snapshot.traffic = {trafficOf(2, "m1", 1, 1), trafficOf(3, "m2", 0, 0), trafficOf(4, "m3", 0, 0)};
  for (std::size_t i = 1; i < 3; ++i) {
    snapshot.traffic[i].membership = AdapterTraffic::Membership::NoSocket;
    snapshot.traffic[i].joinError = "socket: fewer than 64 file descriptors would be left";
  }
  const auto report = buildReport(snapshot);
  EXPECT_EQ(findingOf(report, Problem::NoSocket)->text, text::adaptersWithoutSocket(2, "m2, m3"));
  EXPECT_THAT(report.adapterLines[1], HasSubstr(text::noSocket(snapshot.traffic[1].joinError)));
}

TEST(NetworkCheckTextTest, EachAdapterLineTellsStateAddressesMembershipAndTraffic) {
  auto snapshot = snapshotOf({adapter("eth0", {{{10, 1, 0, 2}, 24}, {{10, 9, 0, 2}, 16}}), adapter("eth1", {}, false),
                              adapter("wg0")});
  snapshot.now = AdapterTraffic::Clock::time_point(std::chrono::seconds(100));
  snapshot.traffic = {trafficOf(2, "eth0", 2, 5), trafficOf(4, "wg0", 0, 0)};
  snapshot.traffic[0].lastAnswer = AdapterTraffic::Clock::time_point(std::chrono::seconds(93));
  snapshot.traffic[0].droppedDatagrams = 4;
  snapshot.traffic[1].membership = AdapterTraffic::Membership::Refused;
  snapshot.traffic[1].joinError = "IP_ADD_MEMBERSHIP: No buffer space available";
  const auto report = buildReport(snapshot);
  EXPECT_EQ(report.adapterLines[0],
            text::adapterLine("eth0", std::string(text::kUp) + "，10.1.0.2/24 10.9.0.2/16，" + text::kJoined + "，" +
                                          text::traffic(2, 5) + "，" + text::dropped(4) + "，" + text::lastAnswer(7)));
  EXPECT_EQ(report.adapterLines[1],
            text::adapterLine("eth1", std::string(text::kDown) + "，" + text::kNoIpv4 + "，" + text::kNotSearched));
  EXPECT_THAT(report.adapterLines[2], HasSubstr(text::joinRefused(snapshot.traffic[1].joinError)));
  EXPECT_THAT(report.adapterLines[2], HasSubstr(text::kNoAnswerYet));
}

TEST(NetworkCheckTextTest, ThePlainTextHoldsEveryAdapterThenTheNumberedFindings) {
  auto snapshot = snapshotOf({adapter("eth0")});
  const std::string quiet = buildReport(snapshot).text();
  EXPECT_THAT(quiet, HasSubstr(text::adapterLine("eth0", "")));
  EXPECT_THAT(quiet, HasSubstr(text::kNoProblem));
  snapshot.facts.adapters.push_back(adapter("eth1", {}));
  snapshot.facts.adapters.back().index = 3;
  snapshot.facts.firewall = FirewallVerdict::CannotTell;
  const std::string said = buildReport(snapshot).text();
  EXPECT_THAT(said, HasSubstr(std::string("1. ") + text::noAddress("eth1") + "\r\n"));
  EXPECT_THAT(said, HasSubstr(std::string("2. ") + text::kFirewallCannotTell + "\r\n"));
  EXPECT_LT(said.find(text::adapterLine("eth1", "")), said.find(text::kProblemsHeading));
  EXPECT_EQ(said.find(text::kNoProblem), std::string::npos);
}

#ifndef _WIN32
TEST(OpenFileLimitTest, TheSoftLimitIsRaisedToTheHardOne) {
  rlimit limit{};
  ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &limit), 0);
  if (limit.rlim_max < 512) GTEST_SKIP() << "the hard limit leaves no room to lower the soft one";
  const rlimit lowered{256, limit.rlim_max};
  ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &lowered), 0);
  const auto raised = raiseOpenFileLimit();
  rlimit now{};
  ::getrlimit(RLIMIT_NOFILE, &now);
  ::setrlimit(RLIMIT_NOFILE, &limit);
  EXPECT_EQ(now.rlim_cur, limit.rlim_max);
  ASSERT_TRUE(raised.has_value());
  EXPECT_EQ(*raised, limit.rlim_max == RLIM_INFINITY ? -1 : static_cast<long long>(limit.rlim_max));
}
#endif

}  // namespace
}  // namespace pages
