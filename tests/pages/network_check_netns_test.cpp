// The network check on a private network: each problem staged with veth
// pairs, kernel settings and a program holding the port, and read back by the
// system's own inspector through the check's flow. Answers are put on a
// network at its far end as a camera there would send them.
#include "pages/network_check.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <memory>
#include <optional>
#include <string>

#include "discovery/platform/linux/port_holders.h"
#include "discovery/platform/socket_address.h"
#include "res/strings.h"
#include "support/datagrams.h"
#include "support/recording_receiver.h"
#include "support/test_network_setup.h"
#include "support/wire_peer.h"

namespace pages {
namespace {

using discovery::Ipv4Bytes;
using testing::ElementsAre;
using testing::HasSubstr;
using testing::IsEmpty;
using testsupport::KernelSetting;
using testsupport::runCommand;
using testsupport::VethPair;
namespace text = ui::strings::network;

// A camera on a network of its own subnet, and one of another subnet, whose
// answers come back only where a route leads to it.
constexpr Ipv4Bytes kCameraOnWire{10, 41, 0, 9};
constexpr Ipv4Bytes kCameraElsewhere{10, 99, 0, 9};

bool holds(const testsupport::RecordingReceiver::Records& records, const std::string& mac) {
  return std::any_of(records.begin(), records.end(),
                     [&](const discovery::DecodedRecord& record) { return testsupport::macOf(record) == mac; });
}

bool heard(testsupport::RecordingReceiver& receiver, const std::string& mac) {
  return receiver.waitUntil([&](const testsupport::RecordingReceiver::Records& records) { return holds(records, mac); });
}

std::vector<Problem> problemsFor(const NetworkReport& report, const std::string& adapter) {
  std::vector<Problem> problems;
  for (const Finding& finding : report.findings)
    if (finding.adapter == adapter) problems.push_back(finding.problem);
  return problems;
}

std::optional<Finding> findingOf(const NetworkReport& report, Problem problem) {
  for (const Finding& finding : report.findings)
    if (finding.problem == problem) return finding;
  return std::nullopt;
}

class NetworkCheckTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(wire.ok() && wire.waitUntilOperational()); }

  void openAndBegin() {
    ASSERT_EQ(channel.open(), 1) << channel.openError();
    check.begin();
  }
  // An answer from `camera`, as it arrives through the wire.
  void answerFrom(const Ipv4Bytes& camera, const std::string& mac) {
    testsupport::WirePeer(wire.farEnd().c_str(), if_nametoindex(wire.name().c_str()))
        .injectToGroup(camera, testsupport::searchReply(mac));
  }
  // The answer of the camera elsewhere, then one from the wire's own subnet:
  // once that has been heard, the first has been let through or dropped.
  void answerFromElsewhereThenFromTheWire() {
    answerFrom(kCameraElsewhere, "ELSEWHERE");
    answerFrom(kCameraOnWire, "ON-WIRE");
    ASSERT_TRUE(heard(receiver, "ON-WIRE"));
  }
  bool heardFromElsewhere() { return holds(receiver.records(), "ELSEWHERE"); }

  VethPair wire{"tvwire", "10.41.0.2/24"};
  discovery::SystemNetwork network;
  discovery::SystemInspector inspector;
  testsupport::RecordingReceiver receiver;
  discovery::MulticastChannel channel{receiver, network};
  NetworkCheck check{channel, inspector};
};

TEST_F(NetworkCheckTest, AnAdapterUpWithoutIpv4OrWithLinkLocalOnlyIsNamed) {
  const VethPair bare("tvbare"), linkLocal("tvauto", "169.254.3.2/16");
  ASSERT_TRUE(bare.ok() && linkLocal.ok());
  openAndBegin();
  const auto report = check.report();
  EXPECT_THAT(problemsFor(report, "tvbare"), ElementsAre(Problem::NoAddress, Problem::VirtualAdapter));
  EXPECT_THAT(problemsFor(report, "tvauto"), ElementsAre(Problem::LinkLocalOnly, Problem::VirtualAdapter));
  EXPECT_THAT(problemsFor(report, "tvwire"), ElementsAre(Problem::VirtualAdapter));
}

// (A tun device needs /dev/net/tun, which an ordinary user may not open.)
TEST_F(NetworkCheckTest, VethAndBridgeAdaptersAreNamedAsVirtualWithTheirKind) {
  ASSERT_TRUE(runCommand("ip link add tvbr type bridge && ip link add docker0 type bridge"));
  openAndBegin();
  const auto report = check.report();
  runCommand("ip link del tvbr; ip link del docker0");
  std::vector<std::string> virtualLines;
  for (const Finding& finding : report.findings)
    if (finding.problem == Problem::VirtualAdapter) virtualLines.push_back(finding.text);
  EXPECT_THAT(virtualLines, testing::UnorderedElementsAre(text::virtualAdapter("tvwire", "veth"),
                                                          text::virtualAdapter("tvwire-far", "veth"),
                                                          text::virtualAdapter("tvbr", "bridge"),
                                                          text::virtualAdapter("docker0", "docker")));
}

TEST_F(NetworkCheckTest, SearchesWithNothingHeardAreNamedUntilAnAnswerComes) {
  openAndBegin();
  const auto silent = check.report();
  ASSERT_NE(findingOf(silent, Problem::NothingHeard), std::nullopt);
  answerFrom(kCameraOnWire, "ON-WIRE");
  ASSERT_TRUE(heard(receiver, "ON-WIRE"));
  const auto answered = check.report();
  EXPECT_EQ(findingOf(answered, Problem::NothingHeard), std::nullopt);
  const auto traffic = channel.traffic();
  const auto wireTraffic = std::find_if(traffic.begin(), traffic.end(),
                                        [](const discovery::AdapterTraffic& t) { return t.name == "tvwire"; });
  ASSERT_NE(wireTraffic, traffic.end());
  EXPECT_EQ(wireTraffic->membership, discovery::AdapterTraffic::Membership::Joined);
  EXPECT_EQ(wireTraffic->searchesSent, 1u);
  EXPECT_EQ(wireTraffic->answersHeard, 1u);
  EXPECT_TRUE(wireTraffic->lastAnswer.has_value());
  EXPECT_EQ(wireTraffic->droppedDatagrams, 0u);
}

// No default route, loose filtering (systemd's default): answers from
// another subnet are dropped, silently.
TEST_F(NetworkCheckTest, LooseFilteringWithoutARouteBackIsNamedWithItsCommandAndDrops) {
  const KernelSetting loose("net/ipv4/conf/all/rp_filter", "2");
  ASSERT_TRUE(loose.ok());
  openAndBegin();
  answerFromElsewhereThenFromTheWire();
  EXPECT_FALSE(heardFromElsewhere());
  const auto report = check.report();
  const std::optional<Finding> filtered = findingOf(report, Problem::ReversePathFilter);
  ASSERT_NE(filtered, std::nullopt);
  EXPECT_EQ(filtered->adapter, "tvwire");
  EXPECT_THAT(filtered->text, HasSubstr("rp_filter=2"));
  EXPECT_THAT(filtered->text, HasSubstr(text::droppedByFilter(1)));
  EXPECT_THAT(filtered->text, HasSubstr("sysctl -w net.ipv4.conf.all.rp_filter=0"));
}

TEST_F(NetworkCheckTest, StrictFilteringWithTheRouteThroughAnotherAdapterNamesThisOneOnly) {
  const VethPair uplink("tvuplink", "10.42.0.2/24");
  ASSERT_TRUE(uplink.ok());
  ASSERT_TRUE(runCommand("ip route add default via 10.42.0.1 dev tvuplink"));
  const KernelSetting strict("net/ipv4/conf/tvwire/rp_filter", "1");
  ASSERT_TRUE(strict.ok());
  openAndBegin();
  answerFromElsewhereThenFromTheWire();
  EXPECT_FALSE(heardFromElsewhere());
  const auto report = check.report();
  EXPECT_THAT(problemsFor(report, "tvwire"), ElementsAre(Problem::ReversePathFilter, Problem::VirtualAdapter));
  EXPECT_THAT(problemsFor(report, "tvuplink"), ElementsAre(Problem::VirtualAdapter));
  EXPECT_THAT(findingOf(report, Problem::ReversePathFilter)->text, HasSubstr("rp_filter=1"));
  EXPECT_THAT(findingOf(report, Problem::ReversePathFilter)->text,
              HasSubstr("sysctl -w net.ipv4.conf.tvwire.rp_filter=0\r\n"));
}

TEST_F(NetworkCheckTest, NoFilterLineWhenFilteringIsOffOrARouteLeadsBack) {
  {
    openAndBegin();
    answerFromElsewhereThenFromTheWire();
    EXPECT_TRUE(heard(receiver, "ELSEWHERE"));
    EXPECT_EQ(findingOf(check.report(), Problem::ReversePathFilter), std::nullopt);
    channel.close();
  }
  const KernelSetting loose("net/ipv4/conf/all/rp_filter", "2");
  ASSERT_TRUE(loose.ok());
  ASSERT_TRUE(runCommand("ip route add default via 10.41.0.1 dev tvwire"));
  openAndBegin();
  answerFromElsewhereThenFromTheWire();
  EXPECT_TRUE(heardFromElsewhere());
  EXPECT_EQ(findingOf(check.report(), Problem::ReversePathFilter), std::nullopt);
}

// Runs a fix as pkexec would once the user agreed: the rest of the line, as
// root of the test's namespace.
class AsAdministrator : public CommandRunner {
 public:
  bool run(const std::vector<std::string>& argv) override {
    ran = argv;
    if (argv.empty() || argv[0] != "pkexec") return false;
    return runCommand(commandLine({argv.begin() + 1, argv.end()}));
  }
  std::vector<std::string> ran;
};

// Where pkexec is found.
class ElevatingInspector : public discovery::NetworkInspector {
 public:
  discovery::NetworkFacts inspect(std::uint16_t port) override {
    auto facts = discovery::SystemInspector().inspect(port);
    facts.canElevate = true;
    return facts;
  }
};

TEST_F(NetworkCheckTest, TheOfferedFixTurnsTheFilterOffAndTheNextSearchHearsTheOtherSubnet) {
  const KernelSetting loose("net/ipv4/conf/all/rp_filter", "2");
  ASSERT_TRUE(loose.ok());
  ElevatingInspector elevating;
  NetworkCheck offering(channel, elevating);
  ASSERT_EQ(channel.open(), 1) << channel.openError();
  offering.begin();
  answerFromElsewhereThenFromTheWire();
  const auto report = offering.report();
  const std::optional<Finding> filtered = findingOf(report, Problem::ReversePathFilter);
  ASSERT_NE(filtered, std::nullopt);
  AsAdministrator runner;
  EXPECT_TRUE(offering.applyFix(*filtered, runner));
  EXPECT_THAT(runner.ran, ElementsAre("pkexec", "/sbin/sysctl", "-w", "net.ipv4.conf.all.rp_filter=0"));
  answerFrom(kCameraElsewhere, "ELSEWHERE");
  EXPECT_TRUE(heard(receiver, "ELSEWHERE"));
  EXPECT_EQ(findingOf(offering.report(), Problem::ReversePathFilter), std::nullopt);
  // A finding with nothing to run runs nothing.
  AsAdministrator idle;
  EXPECT_FALSE(offering.applyFix(Finding{Problem::NothingHeard, {}, {}, {}}, idle));
  EXPECT_THAT(idle.ran, IsEmpty());
}

// Another program on the discovery port, by a name of its own: through an
// IPv4 socket, or an IPv6 one that takes IPv4 too.
class PortHolderProcess {
 public:
  explicit PortHolderProcess(int family = AF_INET) {
    int ready[2];
    if (::pipe(ready) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
      ::prctl(PR_SET_NAME, "tv-portholder");
      ::prctl(PR_SET_PDEATHSIG, SIGKILL);  // gone with the test, however it ends
      const int socket = ::socket(family, SOCK_DGRAM, 0);
      const sockaddr_in local = discovery::socketAddress({0, 0, 0, 0}, discovery::DISCOVERY_PORT);
      sockaddr_in6 local6{};
      local6.sin6_family = AF_INET6;
      local6.sin6_port = htons(discovery::DISCOVERY_PORT);
      const int dualStack = 0;
      ::setsockopt(socket, IPPROTO_IPV6, IPV6_V6ONLY, &dualStack, sizeof dualStack);
      const bool v6 = family == AF_INET6;
      const char bound = ::bind(socket, v6 ? reinterpret_cast<const sockaddr*>(&local6)
                                           : reinterpret_cast<const sockaddr*>(&local),
                                v6 ? sizeof local6 : sizeof local) == 0 ? 'y' : 'n';
      [[maybe_unused]] const auto written = ::write(ready[1], &bound, 1);
      ::pause();  // until killed
      ::_exit(0);
    }
    char bound = 'n';
    ok_ = pid_ > 0 && ::read(ready[0], &bound, 1) == 1 && bound == 'y';
    ::close(ready[0]);
    ::close(ready[1]);
  }
  ~PortHolderProcess() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
  bool ok() const { return ok_; }
  long pid() const { return pid_; }

 private:
  pid_t pid_ = -1;
  bool ok_ = false;
};

TEST_F(NetworkCheckTest, ThePortHeldByAnotherProgramIsNamedWithThatProgram) {
  openAndBegin();
  EXPECT_EQ(findingOf(check.report(), Problem::PortTaken), std::nullopt) << "the channel's own sockets are not another's";
  channel.close();
  const PortHolderProcess holder;
  ASSERT_TRUE(holder.ok());
  EXPECT_EQ(channel.open(), 0);
  const std::optional<Finding> taken = findingOf(check.report(), Problem::PortTaken);
  ASSERT_NE(taken, std::nullopt);
  EXPECT_EQ(taken->text, text::portTakenBy("tv-portholder", holder.pid()));
}

TEST_F(NetworkCheckTest, ThePortHeldThroughIpv6IsNamedToo) {
  const PortHolderProcess holder(AF_INET6);
  if (!holder.ok()) GTEST_SKIP() << "no IPv6 in this namespace";
  EXPECT_EQ(channel.open(), 0);
  const std::optional<Finding> taken = findingOf(check.report(), Problem::PortTaken);
  ASSERT_NE(taken, std::nullopt);
  EXPECT_EQ(taken->text, text::portTakenBy("tv-portholder", holder.pid()));
}

TEST(PortListingTest, OnlyWellFormedLinesOfThatPortCount) {
  const std::string listing =
      "   sl  local_address rem_address   st tx_queue rx_queue tr tm->when retrnsmt   uid  timeout inode ref pointer drops\n"
      "  1: 00000000:1526 00000000:0000 07 00000000:00000000 00:00000000 00000000  1000        0 4711 2 0 0\n"
      "  2: 0100007F:1526 00000000:0000 07 00000000:00000000 00:00000000 00000000  1000        0 4712 2 0 0\n"
      "  3: 00000000:1527 00000000:0000 07 00000000:00000000 00:00000000 00000000  1000        0 4713 2 0 0\n"
      "  4: 00000000:1526 00000000:0000 07\n"
      "  5: 00000000:15Z6 00000000:0000 07 00000000:00000000 00:00000000 00000000  1000        0 4714 2 0 0\n"
      "  6: 000000001526 00000000:0000 07 00000000:00000000 00:00000000 00000000  1000        0 4715 2 0 0\n"
      "  7: 00000000:1526 00000000:0000 07 00000000:00000000 00:00000000 00000000  1000        0 -1 2 0 0\n"
      "\n";
  EXPECT_THAT(discovery::socketInodesOnPort(listing, 5414), ElementsAre(4711ul, 4712ul));
  EXPECT_THAT(discovery::socketInodesOnPort("", 5414), IsEmpty());
}

}  // namespace
}  // namespace pages
