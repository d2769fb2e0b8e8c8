// The Linux adapter reader against a real (private) routing table.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "discovery/gateway.h"

namespace discovery {
namespace {

bool run(const std::string& command) { return std::system((command + " 2>&1").c_str()) == 0; }

class AdapterGatewaysTest : public testing::Test {
 protected:
  void SetUp() override {
    // Three adapters (veth pairs, whose far ends stay unaddressed), created in
    // index order: two with default routes through different gateways, the
    // last one without any.
    for (const std::string name : {"tva", "tvb", "tvc"})
      ASSERT_TRUE(run("ip link add " + name + " type veth peer name " + name + "-far && ip link set " + name +
                      " up && ip link set " + name + "-far up"));
    ASSERT_TRUE(run("ip addr add 10.7.0.2/24 dev tva && ip route add default via 10.7.0.1 dev tva metric 10"));
    ASSERT_TRUE(run("ip addr add 10.8.0.2/24 dev tvb && ip route add default via 10.8.0.254 dev tvb metric 20"));
  }
  void TearDown() override {
    for (const std::string name : {"tva", "tvb", "tvc"}) run("ip link del " + name + " >/dev/null");
  }
};

TEST_F(AdapterGatewaysTest, ListsAddressedAdaptersInIndexOrderWithTheirFirstGateway) {
  std::vector<AdapterGateway> adapters;
  ASSERT_TRUE(listAdapterGateways(adapters));
  ASSERT_EQ(adapters.size(), 2u);  // tvc has no IPv4 address, loopback never counts
  EXPECT_EQ(adapters[0].adapter, "tva");
  EXPECT_EQ(adapters[0].gateway, "10.7.0.1");
  EXPECT_EQ(adapters[1].adapter, "tvb");
  EXPECT_EQ(adapters[1].gateway, "10.8.0.254");
  std::string gateway;
  EXPECT_TRUE(readGateway(gateway));
  EXPECT_EQ(gateway, "10.8.0.254");
  EXPECT_EQ(defaultAddress(gateway), "10.8.0.241");
}

TEST_F(AdapterGatewaysTest, AnAdapterWithoutADefaultRouteContributesAnEmptyGateway) {
  ASSERT_TRUE(run("ip addr add 10.9.0.2/24 dev tvc"));
  std::string gateway = "stale";
  EXPECT_TRUE(readGateway(gateway));
  EXPECT_EQ(gateway, "");
}

}  // namespace
}  // namespace discovery
