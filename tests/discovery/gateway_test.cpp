#include "discovery/gateway.h"

#include <gtest/gtest.h>

#include "discovery/adapters.h"

namespace discovery {
namespace {

Adapter adapter(const char* name, const char* gateway, bool loopback = false) {
  Adapter listed;
  listed.name = name;
  listed.gateway = gateway;
  listed.up = listed.multicast = true;
  listed.loopback = loopback;
  return listed;
}

TEST(GatewayRuleTest, OneAdapterGivesItsGateway) {
  const std::string gateway = gatewayOf({adapter("eth0", "192.168.0.1")});
  EXPECT_EQ(gateway, "192.168.0.1");
  EXPECT_EQ(defaultAddress(gateway), "192.168.0.241");
  EXPECT_EQ(defaultGateway(gateway), "192.168.0.1");
}

TEST(GatewayRuleTest, TheLastAdapterDecidesEvenWithoutAGatewayAndLoopbackPlaysNoPart) {
  EXPECT_EQ(gatewayOf({adapter("eth0", "192.168.0.1"), adapter("wlan0", "10.1.1.1")}), "10.1.1.1");
  EXPECT_EQ(gatewayOf({adapter("eth0", "192.168.0.1"), adapter("wlan0", "")}), "");
  EXPECT_EQ(gatewayOf({adapter("eth0", "192.168.0.1"), adapter("lo", "", true)}), "192.168.0.1");
  EXPECT_EQ(gatewayOf({}), "");
}

TEST(DefaultAddressTest, LastFieldBecomes241) {
  EXPECT_EQ(defaultAddress("192.168.1.1"), "192.168.1.241");
  EXPECT_EQ(defaultAddress("10.0.0.254"), "10.0.0.241");
  EXPECT_EQ(defaultAddress("10.0.0."), "10.0.0.241");
}

TEST(DefaultAddressTest, TextWithoutAUsableDotIsKept) {
  EXPECT_EQ(defaultAddress("gateway"), "gateway");
  EXPECT_EQ(defaultAddress(".1"), ".1");
  EXPECT_EQ(defaultAddress(""), "");
  EXPECT_EQ(defaultGateway("gateway"), "gateway");
}

TEST(SearchableAdaptersTest, UpMulticastAdaptersAndLoopbackOnlyWhenAlone) {
  Adapter down = adapter("eth1", "");
  down.up = false;
  Adapter noMulticast = adapter("wg0", "");
  noMulticast.multicast = false;
  const auto names = [](const std::vector<Adapter>& adapters) {
    std::vector<std::string> listed;
    for (const Adapter& one : adapters) listed.push_back(one.name);
    return listed;
  };
  EXPECT_EQ(names(multicastAdapters({adapter("lo", "", true), adapter("eth0", ""), down, noMulticast})),
            std::vector<std::string>{"eth0"});
  EXPECT_EQ(names(multicastAdapters({adapter("lo", "", true), down})), std::vector<std::string>{"lo"});
  EXPECT_TRUE(multicastAdapters({down, noMulticast}).empty());
}

}  // namespace
}  // namespace discovery
