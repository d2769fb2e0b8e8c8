// Moving a real interface, on a veth pair inside the private test namespace.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "support/test_network_setup.h"
#include "tools/camera/interface_mover.h"

namespace camerasim {
namespace {

using testing::HasSubstr;
using testsupport::runCommand;
using testsupport::VethPair;

// The standard output of a shell command.
std::string output(const std::string& command) {
  std::string text;
  const std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(testsupport::withSystemTools(command).c_str(), "r"), pclose);
  if (!pipe) return text;
  char buffer[256];
  while (fgets(buffer, sizeof buffer, pipe.get())) text += buffer;
  return text;
}

class InterfaceMoverTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(interface.ok()); }

  static void configure(const char* address, const char* gateway) {
    ASSERT_TRUE(runCommand(std::string("ip address add ") + address + " dev mv0"));
    ASSERT_TRUE(runCommand(std::string("ip route add default via ") + gateway + " dev mv0"));
  }
  // "address/prefix ..." of mv0, then its default route.
  static std::string state() {
    return output("ip -4 -o address show dev mv0 | awk '{printf \"%s \", $4}'; ip -4 route show default");
  }

  VethPair interface{"mv0"};
  InterfaceMover mover{"mv0"};
};

TEST_F(InterfaceMoverTest, MovesToTheNewAddressWithTheOldPrefixAndTheNewDefaultRoute) {
  ASSERT_NO_FATAL_FAILURE(configure("10.0.0.5/16", "10.0.0.1"));
  EXPECT_TRUE(mover.move({10, 0, 0, 5}, {10, 0, 0, 1}, {192, 168, 1, 241}, {192, 168, 1, 1})) << mover.error();
  EXPECT_EQ(state(), "192.168.1.241/16 default via 192.168.1.1 dev mv0 onlink \n");
}

TEST_F(InterfaceMoverTest, TakesSlash24WhenTheOldAddressIsNotOnTheInterface) {
  EXPECT_TRUE(mover.move({10, 0, 0, 5}, {10, 0, 0, 1}, {172, 16, 5, 20}, {172, 16, 5, 1})) << mover.error();
  EXPECT_EQ(state(), "172.16.5.20/24 default via 172.16.5.1 dev mv0 onlink \n");
}

TEST_F(InterfaceMoverTest, SameAddressOnlyChangesTheGateway) {
  ASSERT_NO_FATAL_FAILURE(configure("10.0.0.5/24", "10.0.0.1"));
  EXPECT_TRUE(mover.move({10, 0, 0, 5}, {10, 0, 0, 1}, {10, 0, 0, 5}, {10, 0, 0, 254})) << mover.error();
  EXPECT_EQ(state(), "10.0.0.5/24 default via 10.0.0.254 dev mv0 onlink \n");
}

TEST_F(InterfaceMoverTest, AMoveWithinTheSubnetKeepsTheNewAddressAndRoute) {
  ASSERT_NO_FATAL_FAILURE(configure("10.0.0.5/24", "10.0.0.1"));
  const std::string promotion = output("cat /proc/sys/net/ipv4/conf/mv0/promote_secondaries");
  EXPECT_TRUE(mover.move({10, 0, 0, 5}, {10, 0, 0, 1}, {10, 0, 0, 6}, {10, 0, 0, 1})) << mover.error();
  EXPECT_EQ(state(), "10.0.0.6/24 default via 10.0.0.1 dev mv0 onlink \n");
  EXPECT_EQ(output("cat /proc/sys/net/ipv4/conf/mv0/promote_secondaries"), promotion);
}

TEST_F(InterfaceMoverTest, AnEndStateOtherThanTheMoveIsUndoneAndExplained) {
  // The old address twice, with two prefix lengths: the move removes one.
  ASSERT_NO_FATAL_FAILURE(configure("10.0.0.5/24", "10.0.0.1"));
  ASSERT_TRUE(runCommand("ip address add 10.0.0.5/16 dev mv0"));
  EXPECT_FALSE(mover.move({10, 0, 0, 5}, {10, 0, 0, 1}, {192, 168, 1, 241}, {192, 168, 1, 1}));
  EXPECT_THAT(mover.error(), HasSubstr("10.0.0.5 is still on mv0"));
  EXPECT_EQ(state(), "10.0.0.5/16 10.0.0.5/24 default via 10.0.0.1 dev mv0 onlink \n");
}

TEST_F(InterfaceMoverTest, AFailedStepUndoesTheEarlierOnes) {
  ASSERT_NO_FATAL_FAILURE(configure("10.0.0.5/24", "10.0.0.1"));
  const std::string before = state();
  // The system takes the address but not a gateway that is the camera itself.
  EXPECT_FALSE(mover.move({10, 0, 0, 5}, {10, 0, 0, 1}, {192, 168, 1, 241}, {192, 168, 1, 241}));
  EXPECT_THAT(mover.error(), HasSubstr("route replace default via 192.168.1.241"));
  EXPECT_EQ(state(), before);
}

TEST(InterfaceMoverFailureTest, AnUnknownInterfaceIsReported) {
  InterfaceMover mover("no-such-if");
  EXPECT_FALSE(mover.move({10, 0, 0, 5}, {10, 0, 0, 1}, {192, 168, 1, 241}, {192, 168, 1, 1}));
  EXPECT_THAT(mover.error(), HasSubstr("no-such-if"));
}

}  // namespace
}  // namespace camerasim
