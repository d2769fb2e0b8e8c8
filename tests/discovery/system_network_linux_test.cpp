// The Linux adapter list against a real (private) set of interfaces and
// routing table, and the kernel's messages it is read from, cut short or
// lying about their lengths.
#include <gtest/gtest.h>
#include <linux/rtnetlink.h>
#include <net/if.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "discovery/gateway.h"
#include "discovery/host_network.h"
#include "discovery/platform/linux/route_netlink.h"
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

  using Listing = std::vector<std::string>;
  // Each adapter listed, as "NAME GATEWAY", in the order listed.
  Listing namesAndGateways() {
    Listing listing;
    for (const Adapter& adapter : network.adapters().value_or(std::vector<Adapter>{}))
      listing.push_back(adapter.name + " " + adapter.gateway);
    return listing;
  }
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

TEST_F(SystemAdaptersTest, AnAdapterWhoseAddressCarriesALabelKeepsItsNameAndGateway) {
  ASSERT_TRUE(runCommand("ip addr add 10.9.0.2/24 dev tvc label tvc:cam && "
                         "ip route add default via 10.9.0.1 dev tvc metric 30"));
  EXPECT_EQ(namesAndGateways(), (Listing{"lo ", "tva 10.7.0.1", "tvb 10.8.0.254", "tvc 10.9.0.1"}));
  std::string gateway;
  EXPECT_TRUE(readGateway(network, gateway));
  EXPECT_EQ(gateway, "10.9.0.1");
}

TEST_F(SystemAdaptersTest, EveryNextHopOfAMultipathDefaultRouteGivesItsAdapterItsGateway) {
  ASSERT_TRUE(runCommand("ip addr add 10.9.0.2/24 dev tvc && ip route del default dev tva && "
                         "ip route add default metric 10 nexthop via 10.7.0.254 dev tva nexthop via 10.9.0.1 dev tvc"));
  EXPECT_EQ(namesAndGateways(), (Listing{"lo ", "tva 10.7.0.254", "tvb 10.8.0.254", "tvc 10.9.0.1"}));
}

// Renames `from` to `to` through the call `ip link set NAME name` makes.
bool rename(int socket, const char* from, const char* to) {
  ifreq request{};
  std::strncpy(request.ifr_name, from, IFNAMSIZ - 1);
  std::strncpy(request.ifr_newname, to, IFNAMSIZ - 1);
  return ioctl(socket, SIOCSIFNAME, &request) == 0;
}

std::string describe(const std::vector<Adapter>& adapters) {
  std::string text;
  for (const Adapter& adapter : adapters) text += " " + std::to_string(adapter.index) + ":" + adapter.name;
  return text;
}

// As when the system renames an adapter just plugged in: every read made
// meanwhile lists each adapter once, under its own index, and the renamed one
// under one of its names.
TEST_F(SystemAdaptersTest, AnAdapterRenamedWhileTheListIsReadKeepsItsIndex) {
  ASSERT_TRUE(runCommand("ip addr add 10.9.0.2/24 dev tvc"));
  const std::vector<unsigned> indexes = {if_nametoindex("lo"), if_nametoindex("tva"), if_nametoindex("tvb"),
                                         if_nametoindex("tvc")};
  const auto asExpected = [&indexes](const std::vector<Adapter>& adapters) {
    std::vector<unsigned> listed;
    for (const Adapter& adapter : adapters) listed.push_back(adapter.index);
    return listed == indexes && (adapters.back().name == "tvc" || adapters.back().name == "tvc-renamed");
  };
  const int socket = ::socket(AF_INET, SOCK_DGRAM, 0);
  ASSERT_GE(socket, 0);
  std::atomic<bool> started = false;  // the first rename and back is done, or failed
  std::atomic<bool> stop = false;
  std::thread renamer([&] {
    // Always back to its own name, by which the veth pair removes it.
    while (!stop && rename(socket, "tvc", "tvc-renamed") && rename(socket, "tvc-renamed", "tvc"))
      if (!started.exchange(true)) started.notify_all();
    stop = true;
    started = true;
    started.notify_all();
  });
  started.wait(false);
  int faultyReads = 0;
  std::string firstFault;
  for (int read = 0; read < 2000 && !stop; ++read) {
    const auto adapters = network.adapters().value_or(std::vector<Adapter>{});
    if (!asExpected(adapters) && faultyReads++ == 0) firstFault = "read " + std::to_string(read) + ":" + describe(adapters);
  }
  const bool renamerFailed = stop.exchange(true);
  renamer.join();
  ::close(socket);
  EXPECT_FALSE(renamerFailed) << "the adapter could not be renamed";
  EXPECT_EQ(faultyReads, 0) << firstFault;
}

// Netlink bytes as the kernel packs them.
template <class T>
std::vector<std::byte> bytesOf(const T& value) {
  const auto* first = reinterpret_cast<const std::byte*>(&value);
  return {first, first + sizeof value};
}

std::vector<std::byte> joined(std::initializer_list<std::vector<std::byte>> parts) {
  std::vector<std::byte> bytes;
  for (const auto& part : parts) bytes.insert(bytes.end(), part.begin(), part.end());
  return bytes;
}

std::vector<std::byte> attribute(unsigned short type, const std::vector<std::byte>& value) {
  auto bytes = joined({bytesOf(rtattr{static_cast<unsigned short>(RTA_LENGTH(value.size())), type}), value});
  bytes.resize(RTA_ALIGN(bytes.size()));
  return bytes;
}

std::vector<std::byte> nextHop(int interfaceIndex, const Ipv4Bytes& gateway) {
  const auto gatewayAttribute = attribute(RTA_GATEWAY, bytesOf(gateway));
  const auto length = static_cast<unsigned short>(sizeof(rtnexthop) + gatewayAttribute.size());
  return joined({bytesOf(rtnexthop{length, 0, 0, interfaceIndex}), gatewayAttribute});
}

// A multipath route's next hops, through interface 2 and 10.7.0.254 and
// through interface 4 and 10.9.0.1; the second starts at kSecondHop.
std::vector<std::byte> twoNextHops() { return joined({nextHop(2, {10, 7, 0, 254}), nextHop(4, {10, 9, 0, 1})}); }
constexpr std::size_t kSecondHop = sizeof(rtnexthop) + RTA_LENGTH(4);

std::vector<std::byte> defaultRouteThrough(const std::vector<std::byte>& nextHops) {
  rtmsg header{};
  header.rtm_family = AF_INET;
  return joined({bytesOf(header), attribute(RTA_TABLE, bytesOf(std::uint32_t{RT_TABLE_MAIN})),
                 attribute(RTA_MULTIPATH, nextHops)});
}

TEST(RouteMessageTest, AMessageCutShortReadsOnlyWhereOneOfItsAttributesEnds) {
  const auto whole = defaultRouteThrough(twoNextHops());
  for (std::size_t length = 0; length <= whole.size(); ++length) {
    const netlink::Message cut{RTM_NEWROUTE, {whole.begin(), whole.begin() + static_cast<long>(length)}};
    const bool attributeEnds = length == sizeof(rtmsg) || length == sizeof(rtmsg) + RTA_LENGTH(4) || length == whole.size();
    EXPECT_EQ(netlink::parse<rtmsg>(cut).has_value(), attributeEnds) << "cut to " << length << " bytes";
  }
  const netlink::Message message{RTM_NEWROUTE, whole};
  const auto route = netlink::parse<rtmsg>(message);
  ASSERT_TRUE(route);
  const auto hops = netlink::nextHops(route->attributes.at(RTA_MULTIPATH));
  ASSERT_EQ(hops.size(), 2u);
  EXPECT_EQ(hops[1].interfaceIndex, 4u);
  EXPECT_EQ(netlink::valueOf<Ipv4Bytes>(hops[1].attributes, RTA_GATEWAY), (Ipv4Bytes{10, 9, 0, 1}));
}

TEST(RouteMessageTest, NextHopsWhoseLengthsLieReadAsNone) {
  // No length, less than its header, less than its gateway, past the end.
  for (const unsigned short secondLength : {0, 4, 12, 200}) {
    auto hops = twoNextHops();
    std::memcpy(hops.data() + kSecondHop, &secondLength, sizeof secondLength);
    EXPECT_TRUE(netlink::nextHops(hops).empty()) << "a second next hop of " << secondLength << " bytes";
  }
}

}  // namespace
}  // namespace discovery
