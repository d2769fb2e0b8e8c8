// The address check without a link: the rule over the PC's adapters, MAC
// texts, and what the check asks the probe, with a probe the test plays.
#include <gmock/gmock.h>

#include <mutex>
#include <string>
#include <vector>

#include "support/address_verdicts.h"
#include "support/fixed_network.h"

namespace {

using discovery::Adapter;
using discovery::Ipv4Bytes;
using testsupport::Verdicts;

Ipv4Bytes address(const char* text) { return discovery::parseAddress(text).value(); }

Adapter adapter(const char* name, const char* ownAddress, int prefixLength, bool up = true) {
  Adapter made;
  made.name = name;
  made.addresses = {{address(ownAddress), prefixLength}};
  made.up = up;
  return made;
}

std::string ruling(const std::vector<Adapter>& adapters, const char* text) {
  const auto answer = discovery::answerFromAdapters(adapters, address(text));
  return answer ? testsupport::verdict(*answer) : "ask the link";
}

TEST(AddressRuleTest, AsksTheLinkOnlyAboutOtherHostsInTheSubnetOfAnAdapterThatIsUp) {
  Adapter loopback = adapter("lo", "127.0.0.1", 8);
  loopback.loopback = true;
  const std::vector<Adapter> adapters = {adapter("eth0", "192.168.1.10", 24), adapter("eth1", "10.0.0.1", 8, false),
                                         loopback, adapter("link", "172.16.0.0", 31),
                                         adapter("tun0", "172.17.0.1", 32), adapter("odd", "172.18.0.1", 40)};
  EXPECT_EQ(ruling(adapters, "192.168.1.77"), "ask the link");
  EXPECT_EQ(ruling(adapters, "172.16.0.1"), "ask the link");  // a /31 has no network or broadcast address
  EXPECT_EQ(ruling(adapters, "192.168.1.10"), "in use by this PC");
  EXPECT_EQ(ruling(adapters, "10.0.0.1"), "in use by this PC");  // even on an adapter that is down
  for (const char* unverifiable : {"10.0.0.2", "127.0.0.5", "192.168.1.0", "192.168.1.255", "172.17.0.2",
                                   "172.18.0.2", "10.99.0.5"})
    EXPECT_EQ(ruling(adapters, unverifiable), "cannot verify") << unverifiable;
  EXPECT_EQ(ruling({}, "192.168.1.77"), "cannot verify");
}

TEST(AddressRuleTest, WritesAndComparesLinkAddresses) {
  const unsigned char bytes[] = {0x02, 0xAB, 0x00, 0xff, 0x10, 0x9c};
  EXPECT_EQ(discovery::formatLinkAddress(bytes, sizeof bytes), "02:ab:00:ff:10:9c");
  EXPECT_EQ(discovery::formatLinkAddress(bytes, 0), "");
  EXPECT_TRUE(discovery::sameLinkAddress("00-1A-2B-3C-4D-5E", "00:1a:2b:3c:4d:5e"));
  EXPECT_TRUE(discovery::sameLinkAddress("001a.2b3c.4d5e", "00:1a:2b:3c:4d:5e"));
  EXPECT_FALSE(discovery::sameLinkAddress("00:1a:2b:3c:4d:5f", "00:1a:2b:3c:4d:5e"));
  EXPECT_FALSE(discovery::sameLinkAddress("00:1a:2b:3c:4d", "00:1a:2b:3c:4d:5e"));
  EXPECT_FALSE(discovery::sameLinkAddress("00:1a:2b:3c:4d:5g", "00:1a:2b:3c:4d:5"));
  EXPECT_FALSE(discovery::sameLinkAddress("", ""));
  EXPECT_FALSE(discovery::sameLinkAddress(std::string("00:1a\0", 6), "00:1a"));
}

// Notes what it is asked and answers it all as taken by 02:00:00:00:00:01.
class PlayedProbe : public discovery::AddressProbe {
 public:
  void probe(const std::vector<Ipv4Bytes>& addresses, std::stop_token, const Answered& answered) override {
    {
      const std::lock_guard lock(mutex_);
      asked_.push_back(addresses);
    }
    for (const Ipv4Bytes& asked : addresses)
      answered({asked, discovery::AddressUse::InUse, "02:00:00:00:00:01", false, {}});
  }
  std::vector<std::vector<Ipv4Bytes>> asked() {
    const std::lock_guard lock(mutex_);
    return asked_;
  }

 private:
  std::mutex mutex_;
  std::vector<std::vector<Ipv4Bytes>> asked_;
};

class NoAdapterList : public discovery::HostNetwork {
 public:
  std::optional<std::vector<Adapter>> adapters() override { return std::nullopt; }
};

TEST(AddressCheckTest, AsksTheProbeAboutEveryOnLinkAddressAtOnceAndEachOnce) {
  testsupport::FixedNetwork network({adapter("eth0", "192.168.1.10", 24)});
  PlayedProbe probe;
  testsupport::CollectedVerdicts verdicts;
  const discovery::AddressCheck check(network, probe,
                                      {address("192.168.1.77"), address("192.168.1.10"), address("10.99.0.5"),
                                       address("192.168.1.77"), address("192.168.1.78")},
                                      verdicts.sink());
  EXPECT_EQ(verdicts.await(4), (Verdicts{{"192.168.1.77", "in use by 02:00:00:00:00:01"},
                                         {"192.168.1.78", "in use by 02:00:00:00:00:01"},
                                         {"192.168.1.10", "in use by this PC"},
                                         {"10.99.0.5", "cannot verify"}}));
  EXPECT_EQ(probe.asked(), (std::vector<std::vector<Ipv4Bytes>>{{address("192.168.1.77"), address("192.168.1.78")}}));
}

TEST(AddressCheckTest, CannotVerifyAnythingWhenTheAdaptersCannotBeListed) {
  NoAdapterList network;
  PlayedProbe probe;
  testsupport::CollectedVerdicts verdicts;
  const discovery::AddressCheck check(network, probe, {address("192.168.1.77")}, verdicts.sink());
  EXPECT_EQ(verdicts.await(1), (Verdicts{{"192.168.1.77", "cannot verify"}}));
  EXPECT_TRUE(probe.asked().empty());
}

}  // namespace
