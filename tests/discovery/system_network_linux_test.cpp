// The Linux adapter list against a real (private) set of interfaces and
// routing table.
#include <gtest/gtest.h>

#include <string>

#include "discovery/gateway.h"
#include "discovery/host_network.h"
#include "support/test_network_setup.h"

namespace discovery {
namespace {

using testsupport::runCommand;
using testsupport::VethPair;

class SystemAdaptersTest : public testing::Test {
 protected:
  void SetUp() override {
    for (const VethPair* adapter : {&tva, &tvb, &tvc}) ASSERT_TRUE(adapter->ok());
    ASSERT_TRUE(runCommand("ip route add default via 10.7.0.1 dev tva metric 10"));
    ASSERT_TRUE(runCommand("ip addr add 10.8.1.2/24 dev tvb && ip route add default via 10.8.0.254 dev tvb metric 20"));
  }

  // Three adapters, in index order: two with default routes through
  // different gateways (the second with two addresses), the last one with
  // no IPv4 address.
  VethPair tva{"tva", "10.7.0.2/24"};
  VethPair tvb{"tvb", "10.8.0.2/24"};
  VethPair tvc{"tvc"};
  SystemNetwork network;
};

TEST_F(SystemAdaptersTest, ListsAddressedAdaptersOnceInIndexOrderWithTheirFlagsAndFirstGateway) {
  const auto adapters = network.adapters();
  ASSERT_TRUE(adapters);
  ASSERT_EQ(adapters->size(), 3u);  // tvc has no IPv4 address
  EXPECT_EQ((*adapters)[0].name, "lo");
  EXPECT_TRUE((*adapters)[0].loopback);
  EXPECT_EQ((*adapters)[1].name, "tva");
  EXPECT_EQ((*adapters)[1].gateway, "10.7.0.1");
  EXPECT_EQ((*adapters)[2].name, "tvb");
  EXPECT_EQ((*adapters)[2].address(), (Ipv4Bytes{10, 8, 0, 2}));
  EXPECT_EQ((*adapters)[2].addresses,
            (std::vector<AssignedAddress>{{{10, 8, 0, 2}, 24}, {{10, 8, 1, 2}, 24}}));
  EXPECT_EQ((*adapters)[2].gateway, "10.8.0.254");
  EXPECT_TRUE((*adapters)[2].up && (*adapters)[2].multicast && !(*adapters)[2].loopback);
  std::string gateway;
  EXPECT_TRUE(readGateway(network, gateway));
  EXPECT_EQ(gateway, "10.8.0.254");
}

TEST_F(SystemAdaptersTest, AnAdapterWithoutADefaultRouteContributesAnEmptyGateway) {
  ASSERT_TRUE(runCommand("ip addr add 10.9.0.2/24 dev tvc"));
  std::string gateway = "stale";
  EXPECT_TRUE(readGateway(network, gateway));
  EXPECT_EQ(gateway, "");
}

TEST_F(SystemAdaptersTest, AnAdapterThatIsDownIsListedButNotSearchedThrough) {
  ASSERT_TRUE(runCommand("ip link set tva down"));
  const auto adapters = network.adapters();
  ASSERT_TRUE(adapters);
  const auto searched = multicastAdapters(*adapters);
  ASSERT_EQ(searched.size(), 1u);
  EXPECT_EQ(searched[0].name, "tvb");
}

}  // namespace
}  // namespace discovery
