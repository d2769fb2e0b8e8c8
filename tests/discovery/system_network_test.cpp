// The machine's adapter list as the platform gives it, inside the private
// test namespace: its loopback alone, which the channel then searches
// through.
#include <gtest/gtest.h>

#include "discovery/adapters.h"
#include "discovery/gateway.h"
#include "discovery/host_network.h"

namespace discovery {
namespace {

TEST(SystemNetworkTest, ThePrivateNamespaceListsItsLoopbackAloneUpMulticastAndWithoutGateway) {
  SystemNetwork network;
  const auto adapters = network.adapters();
  ASSERT_TRUE(adapters);
  ASSERT_EQ(adapters->size(), 1u);
  const Adapter& loopback = adapters->front();
  EXPECT_FALSE(loopback.name.empty());
  EXPECT_NE(loopback.index, 0u);
  EXPECT_EQ(loopback.address(), (Ipv4Bytes{127, 0, 0, 1}));
  EXPECT_EQ(loopback.gateway, "");
  EXPECT_TRUE(loopback.up);
  EXPECT_TRUE(loopback.multicast);
  EXPECT_TRUE(loopback.loopback);
  EXPECT_EQ(multicastAdapters(*adapters).size(), 1u);
  std::string gateway = "stale";
  EXPECT_TRUE(readGateway(network, gateway));
  EXPECT_EQ(gateway, "");
}

}  // namespace
}  // namespace discovery
