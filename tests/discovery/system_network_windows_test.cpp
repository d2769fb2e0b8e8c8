// The Windows adapter list against real (private) interfaces, as Wine reports
// them from the namespace that system_network_windows.sh set up; the Linux
// list has its own test (system_network_linux_test.cpp).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "discovery/gateway.h"
#include "discovery/host_network.h"

namespace discovery {
namespace {

std::vector<std::string> namesOf(const std::vector<Adapter>& adapters) {
  std::vector<std::string> names;
  for (const Adapter& adapter : adapters) names.push_back(adapter.name);
  return names;
}

class WindowsAdaptersTest : public testing::Test {
 protected:
  void SetUp() override {
    const auto listed = network.adapters();
    ASSERT_TRUE(listed);
    adapters = *listed;
    ASSERT_EQ(namesOf(adapters), (std::vector<std::string>{"lo", "tva", "tvb", "tvd"}))
        << "tvc and the far ends have no IPv4 address";
  }

  SystemNetwork network;
  std::vector<Adapter> adapters;
};

TEST_F(WindowsAdaptersTest, EachAdapterComesWithItsFirstAddressFlagsAndFirstGateway) {
  EXPECT_TRUE(adapters[0].loopback && adapters[0].up);
  EXPECT_EQ(adapters[1].address(), (Ipv4Bytes{10, 7, 0, 2}));
  EXPECT_EQ(adapters[1].gateway, "10.7.0.1");
  EXPECT_EQ(adapters[2].address(), (Ipv4Bytes{10, 8, 0, 2}));
  EXPECT_EQ(adapters[2].addresses, (std::vector<AssignedAddress>{{{10, 8, 0, 2}, 24}, {{10, 8, 1, 2}, 24}}));
  EXPECT_EQ(adapters[2].gateway, "10.8.0.254");
  EXPECT_EQ(adapters[3].address(), (Ipv4Bytes{10, 9, 0, 2}));
  EXPECT_EQ(adapters[3].gateway, "");
  for (std::size_t i = 1; i < adapters.size(); ++i) {
    EXPECT_FALSE(adapters[i].loopback) << adapters[i].name;
    EXPECT_TRUE(adapters[i].multicast) << adapters[i].name;
  }
  for (std::size_t i = 1; i < adapters.size(); ++i) EXPECT_NE(adapters[i].index, adapters[i - 1].index);
}

TEST_F(WindowsAdaptersTest, AnAdapterThatIsDownIsListedButNotSearchedThrough) {
  EXPECT_TRUE(adapters[1].up && adapters[2].up);
  EXPECT_FALSE(adapters[3].up);
  EXPECT_EQ(namesOf(multicastAdapters(adapters)), (std::vector<std::string>{"tva", "tvb"}));
}

TEST_F(WindowsAdaptersTest, TheGatewayComesFromTheLastAdapterListedEvenWithoutOne) {
  std::string gateway = "stale";
  EXPECT_TRUE(readGateway(network, gateway));
  EXPECT_EQ(gateway, "");
}

}  // namespace
}  // namespace discovery
