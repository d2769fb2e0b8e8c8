#include "discovery/gateway.h"

#include <gtest/gtest.h>

namespace discovery {
namespace {

TEST(GatewayRuleTest, OneAdapterGivesItsGateway) {
  const std::string gateway = gatewayOf({{"eth0", "192.168.0.1"}});
  EXPECT_EQ(gateway, "192.168.0.1");
  EXPECT_EQ(defaultAddress(gateway), "192.168.0.241");
  EXPECT_EQ(defaultGateway(gateway), "192.168.0.1");
}

TEST(GatewayRuleTest, TheLastAdapterDecidesEvenWithoutAGateway) {
  EXPECT_EQ(gatewayOf({{"eth0", "192.168.0.1"}, {"wlan0", "10.1.1.1"}}), "10.1.1.1");
  EXPECT_EQ(gatewayOf({{"eth0", "192.168.0.1"}, {"wlan0", ""}}), "");
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

}  // namespace
}  // namespace discovery
