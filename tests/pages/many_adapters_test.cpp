// A PC with more adapters than its descriptors allow sockets for (1,100
// macvlans under a soft limit of 1,024 open files, as a desktop starts
// programs): the channel opens, searches through the adapters it could open
// a socket for, leaves descriptors for the rest of the program, and the
// network check names the adapters left out.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <net/if.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "pages/network_check.h"
#include "res/strings.h"
#include "support/datagrams.h"
#include "support/recording_receiver.h"
#include "support/test_network_setup.h"
#include "support/wire_peer.h"

namespace pages {
namespace {

using discovery::AdapterTraffic;
using testing::HasSubstr;
using testsupport::runCommand;

constexpr int kAdapters = 1100;
constexpr rlim_t kDesktopSoftLimit = 1024;

std::size_t openDescriptors() {
  const auto entries = std::filesystem::directory_iterator("/proc/self/fd");
  // Less the one that lists them.
  return static_cast<std::size_t>(std::distance(begin(entries), end(entries))) - 1;
}

// kAdapters macvlans m1, m2, ... on a veth of their own, each up with an
// address; removed with it.
class ManyAdapters {
 public:
  ManyAdapters() {
    const std::string batch = std::filesystem::temp_directory_path() / "tovalen-many-adapters.ip";
    std::ofstream commands(batch);
    for (int i = 1; i <= kAdapters; ++i)
      commands << "link add link tvbase name m" << i << " type macvlan mode bridge\n"
               << "link set m" << i << " up\n"
               << "address add 10." << 100 + i / 250 << "." << i % 250 << ".1/24 dev m" << i << "\n";
    commands.close();
    ok_ = base_.ok() && runCommand("ip -batch " + batch + " >/dev/null");
    std::remove(batch.c_str());
  }
  bool ok() const { return ok_; }

 private:
  testsupport::VethPair base_{"tvbase"};
  bool ok_ = false;
};

TEST(ManyAdaptersTest, TheChannelOpensHearsAnOpenedAdapterAndTheCheckNamesThoseLeftOut) {
  rlimit limit{};
  ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &limit), 0);
  if (limit.rlim_max < kDesktopSoftLimit) GTEST_SKIP() << "the hard limit is below a desktop's soft one";
  const rlimit desktop{kDesktopSoftLimit, limit.rlim_max};
  ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &desktop), 0);

  // Made first, so listed first: the channel opens its socket.
  const testsupport::VethPair wire("tvwire", "10.41.0.2/24");
  ASSERT_TRUE(wire.ok() && wire.waitUntilOperational());
  const ManyAdapters many;
  ASSERT_TRUE(many.ok());

  discovery::SystemNetwork network;
  testsupport::RecordingReceiver receiver;
  discovery::MulticastChannel channel(receiver, network);
  ASSERT_EQ(channel.open(), 1) << channel.openError();
  channel.sendSearch();
  EXPECT_LE(openDescriptors() + discovery::kSpareDescriptors, kDesktopSoftLimit);

  testsupport::WirePeer(wire.farEnd().c_str(), if_nametoindex("tvwire"))
      .injectToGroup({10, 41, 0, 9}, testsupport::searchReply("BEHIND-TVWIRE"));
  EXPECT_TRUE(receiver.waitUntil(testsupport::lastIs("BEHIND-TVWIRE")));

  const auto traffic = channel.traffic();
  const auto unopened = std::count_if(traffic.begin(), traffic.end(), [](const AdapterTraffic& adapter) {
    return adapter.membership == AdapterTraffic::Membership::NoSocket;
  });
  EXPECT_GT(unopened, 0);
  // Each adapter with an address is tried: joined, or named as without a socket.
  EXPECT_EQ(traffic.size(), static_cast<std::size_t>(kAdapters) + 1);
  EXPECT_EQ(std::count_if(traffic.begin(), traffic.end(),
                          [](const AdapterTraffic& adapter) {
                            return adapter.membership == AdapterTraffic::Membership::Refused;
                          }),
            0);
  const auto wireTraffic = std::find_if(traffic.begin(), traffic.end(),
                                        [](const AdapterTraffic& adapter) { return adapter.name == "tvwire"; });
  ASSERT_NE(wireTraffic, traffic.end());
  EXPECT_EQ(wireTraffic->membership, AdapterTraffic::Membership::Joined);
  EXPECT_EQ(wireTraffic->answersHeard, 1u);

  NetworkSnapshot snapshot;
  snapshot.facts = discovery::SystemInspector().inspect(discovery::DISCOVERY_PORT);
  snapshot.traffic = traffic;
  snapshot.channelOpen = channel.isOpen();
  const auto report = buildReport(snapshot);
  const auto named = std::find_if(report.findings.begin(), report.findings.end(),
                                  [](const Finding& finding) { return finding.problem == Problem::NoSocket; });
  ASSERT_NE(named, report.findings.end());
  EXPECT_THAT(named->text, HasSubstr(std::to_string(unopened) + " 个网卡"));
  EXPECT_THAT(named->text, HasSubstr("m" + std::to_string(kAdapters)));
  EXPECT_EQ(report.adapterLines.size(), static_cast<std::size_t>(kAdapters) + 4);  // and tvwire, tvbase, their far ends
  channel.close();
  ::setrlimit(RLIMIT_NOFILE, &limit);
}

}  // namespace
}  // namespace pages
