// The addresses a camera may be given: none of this network, loopback,
// multicast, the reserved range or broadcast; anything else.
#include "pages/addresses.h"

#include <gtest/gtest.h>

#include "discovery/protocol.h"

namespace pages {
namespace {

TEST(HostAddressTest, RefusesTheRangesNoHostCanHoldAndAcceptsTheirNeighbours) {
  const struct {
    const char* address;
    bool host;
  } cases[] = {
      {"0.0.0.0", false},       {"0.255.255.255", false}, {"1.0.0.0", true},         {"126.255.255.255", true},
      {"127.0.0.1", false},     {"127.255.255.255", false}, {"128.0.0.0", true},     {"192.168.1.255", true},
      {"223.255.255.255", true}, {"224.0.0.0", false},    {"224.14.54.74", false},   {"239.255.255.255", false},
      {"240.0.0.0", false},     {"255.255.255.255", false}, {"10.0.0.1", true},
  };
  for (const auto& c : cases) {
    const auto bytes = discovery::parseAddress(c.address);
    ASSERT_TRUE(bytes) << c.address;
    EXPECT_EQ(canBeHostAddress(discovery::toFieldsValue(*bytes)), c.host) << c.address;
  }
}

}  // namespace
}  // namespace pages
