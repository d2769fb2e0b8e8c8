// The camera simulator: its numbering rule and command line, and its answers
// on the private loopback network.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <future>
#include <memory>
#include <mutex>
#include <ostream>
#include <stop_token>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "discovery/channel.h"
#include "discovery/datagram_socket.h"
#include "discovery/protocol.h"
#include "tools/camera/addresses.h"
#include "tools/camera/simulated_cameras.h"
#include "tools/camera/camera_simulator.h"
#include "tools/camera/interface_mover.h"
#include "tools/camera/options.h"

namespace camerasim {
namespace {

using discovery::CMD_SEARCH;
using discovery::CMD_SEARCH_REPLY;
using discovery::CMD_SET_IP;
using discovery::CMD_SET_IP_REPLY;
using discovery::formatAddress;
using discovery::Ipv4Bytes;
using testing::ElementsAre;
using testing::HasSubstr;
using testing::SizeIs;
using testing::StartsWith;
using testing::UnorderedElementsAre;
using testing::UnorderedElementsAreArray;

// ---------------------------------------------------------------------------
// Numbering

// The MAC `steps` after `first`, as text; empty when `first` does not parse.
std::string macAfter(std::string_view first, std::uint64_t steps) {
  const auto mac = parseMac(first);
  return mac ? formatMac(offsetMac(*mac, steps)) : "";
}

std::string addressAfter(std::string_view first, std::uint32_t steps) {
  const auto address = discovery::parseAddress(first);
  return address ? formatAddress(offsetAddress(*address, steps)) : "";
}

TEST(MacNumberingTest, CountsUpAsOne48BitNumber) {
  EXPECT_EQ(macAfter("00:11:22:33:44:55", 0), "00:11:22:33:44:55");
  EXPECT_EQ(macAfter("00:11:22:33:44:FE", 1), "00:11:22:33:44:FF");
  EXPECT_EQ(macAfter("00:11:22:33:44:FF", 1), "00:11:22:33:45:00");
  EXPECT_EQ(macAfter("00:FF:FF:FF:FF:FF", 1), "01:00:00:00:00:00");
  EXPECT_EQ(macAfter("00:00:00:00:00:00", 999'999), "00:00:00:0F:42:3F");
  EXPECT_EQ(macAfter("FF:FF:FF:FF:FF:FF", 2), "00:00:00:00:00:01");
}

TEST(MacNumberingTest, WritesLettersInTheCaseTheyWereGiven) {
  EXPECT_EQ(macAfter("0a:1b:2c:3d:4e:ff", 1), "0a:1b:2c:3d:4f:00");
  EXPECT_EQ(macAfter("0A:1B:2C:3D:4E:FF", 1), "0A:1B:2C:3D:4F:00");
  EXPECT_EQ(macAfter("0A:1B:2C:3D:4E:Fe", 0), "0a:1b:2c:3d:4e:fe");
  EXPECT_EQ(macAfter("00:11:22:33:44:59", 1), "00:11:22:33:44:5A");
}

TEST(MacNumberingTest, RejectsAnythingButSixColonSeparatedHexBytes) {
  for (const char* text : {"", "00:11:22:33:44", "00:11:22:33:44:55:66", "00-11-22-33-44-55", "0:11:22:33:44:555",
                           "00:11:22:33:44:GG", "00:11:22:33:44:+5", " 0:11:22:33:44:55", "001122334455"})
    EXPECT_FALSE(parseMac(text).has_value()) << '"' << text << '"';
}

TEST(AddressNumberingTest, CountsUpAsOne32BitNumber) {
  EXPECT_EQ(addressAfter("192.168.0.100", 0), "192.168.0.100");
  EXPECT_EQ(addressAfter("192.168.0.255", 1), "192.168.1.0");
  EXPECT_EQ(addressAfter("10.255.255.255", 1), "11.0.0.0");
  EXPECT_EQ(addressAfter("255.255.255.255", 1), "0.0.0.0");
}

// What whyNotAssignable says, or "taken".
std::string assignable(const char* address, const char* gateway, int prefixLength) {
  const std::string why = whyNotAssignable(*discovery::parseAddress(address), *discovery::parseAddress(gateway), prefixLength);
  return why.empty() ? "taken" : why;
}

TEST(AssignableAddressTest, TakesUnicastHostsInTheirSubnetAndGatewaysInAnySubnet) {
  EXPECT_EQ(assignable("10.0.0.6", "10.0.0.1", 24), "taken");
  EXPECT_EQ(assignable("10.0.1.0", "10.0.0.1", 16), "taken");
  EXPECT_EQ(assignable("10.0.0.255", "10.0.0.1", 23), "taken");
  EXPECT_EQ(assignable("10.0.0.0", "10.0.0.1", 31), "taken");
  EXPECT_EQ(assignable("192.168.1.7", "10.0.0.255", 24), "taken");  // a gateway in another subnet, reached onlink
  EXPECT_EQ(assignable("223.255.255.254", "223.255.255.253", 8), "taken");
}

TEST(AssignableAddressTest, RefusesWhatNoCameraCanBeOrUseAndSaysWhy) {
  const std::string group = formatAddress(discovery::DISCOVERY_GROUP);
  EXPECT_EQ(assignable("0.0.0.0", "10.0.0.1", 24), "0.0.0.0 is in 0.0.0.0/8");
  EXPECT_EQ(assignable("127.0.0.1", "10.0.0.1", 24), "127.0.0.1 is a loopback address");
  EXPECT_EQ(assignable(group.c_str(), "10.0.0.1", 24), group + " is a multicast address");
  EXPECT_EQ(assignable("240.0.0.1", "10.0.0.1", 24), "240.0.0.1 is a reserved or broadcast address");
  EXPECT_EQ(assignable("255.255.255.255", "10.0.0.1", 24), "255.255.255.255 is a reserved or broadcast address");
  EXPECT_EQ(assignable("10.0.0.0", "10.0.0.1", 24), "10.0.0.0 is the network address of its /24 subnet");
  EXPECT_EQ(assignable("10.0.1.255", "10.0.0.1", 23), "10.0.1.255 is the broadcast address of its /23 subnet");
  EXPECT_EQ(assignable("10.0.0.6", "0.0.0.0", 24), "gateway 0.0.0.0 is in 0.0.0.0/8");
  EXPECT_EQ(assignable("10.0.0.6", "224.0.0.1", 24), "gateway 224.0.0.1 is a multicast address");
  EXPECT_EQ(assignable("10.0.0.6", "255.255.255.255", 24), "gateway 255.255.255.255 is a reserved or broadcast address");
  EXPECT_EQ(assignable("10.0.0.6", "10.0.0.255", 24), "gateway 10.0.0.255 is the broadcast address of its /24 subnet");
  EXPECT_EQ(assignable("10.0.0.6", "10.0.0.6", 24), "gateway 10.0.0.6 is the camera itself");
}

std::string describe(const SimulatedCamera& camera) {
  return std::string(camera.mac.text()) + ' ' + formatAddress(camera.address) + ' ' + formatAddress(camera.gateway);
}

TEST(SimulatedCamerasTest, NumbersEachCameraFromTheFirstAndSharesTheGateway) {
  const CameraRange range{3, *parseMac("00:11:22:33:44:ff"), {10, 0, 0, 255}, {10, 0, 0, 1}};
  std::vector<std::string> cameras;
  for (const SimulatedCamera& camera : generateCameras(range)) cameras.push_back(describe(camera));
  EXPECT_THAT(cameras, ElementsAre("00:11:22:33:44:ff 10.0.0.255 10.0.0.1", "00:11:22:33:45:00 10.0.1.0 10.0.0.1",
                                   "00:11:22:33:45:01 10.0.1.1 10.0.0.1"));
}

// ---------------------------------------------------------------------------
// Command line

std::string parse(std::vector<const char*> arguments) {
  arguments.insert(arguments.begin(), "tovalen-camera");
  const ParsedOptions parsed = parseOptions(static_cast<int>(arguments.size()), arguments.data());
  if (std::holds_alternative<HelpRequested>(parsed)) return "help";
  if (const auto* error = std::get_if<OptionsError>(&parsed)) return "error: " + error->message;
  const auto& options = std::get<SimulatorOptions>(parsed);
  const CameraRange& range = options.cameras;
  std::string text = std::to_string(range.count) + ' ' + formatMac(range.firstMac) + ' ' +
                     formatAddress(range.firstAddress) + ' ' + formatAddress(range.gateway);
  if (!options.moveInterface.empty()) text += " move " + options.moveInterface;
  if (options.echoPort) text += " echo " + std::to_string(*options.echoPort);
  if (!options.answerSetIp) text += " silent";
  return text;
}

TEST(OptionsTest, DefaultsToOneCameraAtTheAddressesItsHelpNames) {
  EXPECT_EQ(parse({}), "1 00:11:22:33:44:55 192.168.0.100 192.168.0.1");
}

TEST(OptionsTest, TakesEveryOptionAndKeepsTheLastOfARepeat) {
  EXPECT_EQ(parse({"--count", "5", "--mac", "aa:bb:cc:dd:ee:0f", "--ip", "10.1.2.3", "--gateway", "10.1.2.1"}),
            "5 aa:bb:cc:dd:ee:0f 10.1.2.3 10.1.2.1");
  EXPECT_EQ(parse({"--count", "1000000"}), "1000000 00:11:22:33:44:55 192.168.0.100 192.168.0.1");
  EXPECT_EQ(parse({"--ip", "10.0.0.1", "--ip", "10.0.0.2"}), "1 00:11:22:33:44:55 10.0.0.2 192.168.0.1");
}

TEST(OptionsTest, MovingAnInterfaceAndEchoingAreAskedFor) {
  const std::string moving = parse({"--ip", "10.0.0.5", "--move-interface", "eth0", "--echo-port", "7"});
  if (InterfaceMover::available())
    EXPECT_EQ(moving, "1 00:11:22:33:44:55 10.0.0.5 192.168.0.1 move eth0 echo 7");
  else
    EXPECT_EQ(moving, "error: --move-interface is not available on this system: it moves Linux interfaces only");
  EXPECT_EQ(parse({"--count", "3", "--echo-port", "65535"}), "3 00:11:22:33:44:55 192.168.0.100 192.168.0.1 echo 65535");
  EXPECT_EQ(parse({"--set-ip", "ignore"}), "1 00:11:22:33:44:55 192.168.0.100 192.168.0.1 silent");
  EXPECT_EQ(parse({"--set-ip", "ignore", "--set-ip", "answer"}), "1 00:11:22:33:44:55 192.168.0.100 192.168.0.1");
  EXPECT_EQ(parse({"--set-ip", "no"}), "error: invalid value 'no' for --set-ip: expected answer or ignore");
}

TEST(OptionsTest, HelpEndsTheReading) {
  EXPECT_EQ(parse({"--help"}), "help");
  EXPECT_EQ(parse({"--count", "3", "--help", "--no-such-option"}), "help");
  EXPECT_THAT(parse({"--no-such-option", "--help"}), StartsWith("error: "));
}

struct BadArguments {
  std::vector<const char*> arguments;
  std::string explanation;  // part of the error that points at the culprit

  friend void PrintTo(const BadArguments& bad, std::ostream* out) {
    for (const char* argument : bad.arguments) *out << argument << ' ';
  }
};

class OptionsErrorTest : public testing::TestWithParam<BadArguments> {};

TEST_P(OptionsErrorTest, NamesTheOffendingArgument) {
  const std::string outcome = parse(GetParam().arguments);
  EXPECT_THAT(outcome, StartsWith("error: "));
  EXPECT_THAT(outcome, HasSubstr(GetParam().explanation));
}

INSTANTIATE_TEST_SUITE_P(Rejected, OptionsErrorTest,
                         testing::Values(BadArguments{{"--verbose"}, "unknown option '--verbose'"},
                                         BadArguments{{"count", "3"}, "unknown option 'count'"},
                                         BadArguments{{"--count"}, "--count needs a value"},
                                         BadArguments{{"--mac", "00:11:22:33:44:55", "--ip"}, "--ip needs a value"},
                                         BadArguments{{"--count", "0"}, "'0' for --count"},
                                         BadArguments{{"--count", "1000001"}, "'1000001' for --count"},
                                         BadArguments{{"--count", "-1"}, "'-1' for --count"},
                                         BadArguments{{"--count", "3x"}, "'3x' for --count"},
                                         BadArguments{{"--mac", "00:11:22:33:44"}, "'00:11:22:33:44' for --mac"},
                                         BadArguments{{"--ip", "192.168.0"}, "'192.168.0' for --ip"},
                                         BadArguments{{"--gateway", "300.1.1.1"}, "'300.1.1.1' for --gateway"},
                                         BadArguments{{"--echo-port", "0"}, "'0' for --echo-port"},
                                         BadArguments{{"--echo-port", "65536"}, "'65536' for --echo-port"},
                                         BadArguments{{"--move-interface", ""}, "'' for --move-interface"},
                                         BadArguments{{"--move-interface", "a-name-too-long-for-linux"},
                                                      "'a-name-too-long-for-linux' for --move-interface"},
                                         BadArguments{{"--move-interface", "../eth0"}, "'../eth0' for --move-interface"},
                                         BadArguments{{"--move-interface", "eth0", "--count", "2"},
                                                      "--move-interface plays exactly one camera"}));

// ---------------------------------------------------------------------------
// On the network

constexpr auto kTestDeadline = std::chrono::seconds(20);

// A reply as the program would list it.
struct Reply {
  std::uint32_t command = 0;
  std::string mac;
  std::string address;
  std::string gateway;

  friend bool operator==(const Reply&, const Reply&) = default;
  friend std::ostream& operator<<(std::ostream& out, const Reply& reply) {
    return out << (reply.command == CMD_SEARCH_REPLY ? "search reply " : "set-IP reply ") << reply.mac << ' '
               << reply.address << ' ' << reply.gateway;
  }
};

Reply searchReply(std::string mac, std::string address, std::string gateway) {
  return {CMD_SEARCH_REPLY, std::move(mac), std::move(address), std::move(gateway)};
}

Reply setIpReply(std::string mac, std::string address, std::string gateway) {
  return {CMD_SET_IP_REPLY, std::move(mac), std::move(address), std::move(gateway)};
}

Reply toReply(const discovery::DecodedRecord& record) {
  if (const auto* device = std::get_if<discovery::DeviceInfoRecord>(&record))
    return searchReply(std::string(device->mac.text()), std::string(device->ip.text()),
                       std::string(device->gateway.text()));
  const auto& changed = std::get<discovery::SetIpRecord>(record);
  return setIpReply(std::string(changed.mac.text()), formatAddress(changed.newAddress),
                    formatAddress(changed.newGateway));
}

discovery::Bytes setIpDatagram(std::uint32_t command, std::string_view mac, Ipv4Bytes address, Ipv4Bytes gateway) {
  discovery::SetIpRecord record{{}, address, gateway};
  record.mac.assign(mac);
  return discovery::encodeDatagram(command, discovery::encodeRecord(record));
}

// Carries the MAC and the addresses 172.16.5.9 and gateway 172.16.5.1.
discovery::Bytes moveDatagram(std::uint32_t command, std::string_view mac) {
  return setIpDatagram(command, mac, {172, 16, 5, 9}, {172, 16, 5, 1});
}

// Stands where the program would: sends to the group and reads the replies in
// arrival order. Shares the port with the simulators through address reuse.
class TestClient {
 public:
  TestClient() {
    opened_ = socket_.create() && socket_.enableAddressReuse() && socket_.bindAny(discovery::DISCOVERY_PORT) &&
              socket_.joinGroup(discovery::DISCOVERY_GROUP);
    // Past the deadline a blocked read is woken, so a missing reply fails the
    // test instead of hanging it.
    watchdog_ = std::jthread([this](std::stop_token finished) {
      std::mutex mutex;
      std::condition_variable_any wake;
      std::unique_lock lock(mutex);
      wake.wait_for(lock, finished, kTestDeadline, [] { return false; });
      if (!finished.stop_requested()) socket_.interrupt();
    });
  }

  bool ok() const { return opened_; }
  const std::string& error() const { return socket_.lastError(); }

  void sendToGroup(std::span<const std::uint8_t> datagram) {
    unheardEchoes_.emplace_back(datagram.begin(), datagram.end());
    socket_.sendTo(discovery::DISCOVERY_GROUP, discovery::DISCOVERY_PORT, datagram);
  }

  // The next `count` replies; fewer when the deadline passes first.
  std::vector<Reply> awaitReplies(std::size_t count) {
    while (pending_.size() < count) {
      const auto result = socket_.receive(slots_);
      if (result.status != discovery::ReceiveResult::Status::Received) break;
      for (std::size_t i = 0; i < result.count; ++i) take(slots_[i].payload());
    }
    const auto taken = static_cast<std::ptrdiff_t>(std::min(count, pending_.size()));
    std::vector<Reply> replies(pending_.begin(), pending_.begin() + taken);
    pending_.erase(pending_.begin(), pending_.begin() + taken);
    return replies;
  }

 private:
  // Multicast loopback brings back everything this client sends, in the order
  // sent; those copies are not replies, even when they look like one.
  void take(std::span<const std::uint8_t> datagram) {
    if (!unheardEchoes_.empty() && std::ranges::equal(datagram, unheardEchoes_.front())) {
      unheardEchoes_.pop_front();
      return;
    }
    if (const auto record = discovery::decode(datagram)) pending_.push_back(toReply(*record));
  }

  discovery::DatagramSocket socket_;
  bool opened_ = false;
  std::vector<discovery::ReceivedDatagram> slots_ = std::vector<discovery::ReceivedDatagram>(16);
  std::deque<discovery::Bytes> unheardEchoes_;
  std::deque<Reply> pending_;
  std::jthread watchdog_;  // last, so that it ends before the socket goes
};

// Numbering that crosses a byte boundary in both the MAC and the address.
const CameraRange kThreeCameras{3, MacAddress{0x0011223344FF, false}, {10, 0, 0, 255}, {10, 0, 0, 1}};
const std::vector<Reply> kThreeCamerasFound{searchReply("00:11:22:33:44:FF", "10.0.0.255", "10.0.0.1"),
                                            searchReply("00:11:22:33:45:00", "10.0.1.0", "10.0.0.1"),
                                            searchReply("00:11:22:33:45:01", "10.0.1.1", "10.0.0.1")};
const std::string kSecondMac = "00:11:22:33:45:00";
const std::string kThirdMac = "00:11:22:33:45:01";

class CameraSimulatorTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(client_.ok()) << client_.error(); }

  void startSimulator(AddressChangeHook beforeAddressChange = {}) {
    simulator_ = std::make_unique<CameraSimulator>(generateCameras(kThreeCameras), std::move(beforeAddressChange));
    ASSERT_TRUE(simulator_->start()) << simulator_->error();
  }

  std::vector<Reply> search(std::size_t expectedReplies = kThreeCamerasFound.size()) {
    client_.sendToGroup(discovery::encodeDatagram(CMD_SEARCH, {}));
    return client_.awaitReplies(expectedReplies);
  }

  // Requests are handled in arrival order, so when the answer to this one
  // (which changes nothing) comes next, no other answer was on its way.
  void expectNoOtherReplyOnItsWay() {
    client_.sendToGroup(setIpDatagram(CMD_SET_IP, kThirdMac, {10, 0, 1, 1}, {10, 0, 0, 1}));
    EXPECT_THAT(client_.awaitReplies(1), ElementsAre(setIpReply(kThirdMac, "10.0.1.1", "10.0.0.1")));
  }

  TestClient client_;
  std::unique_ptr<CameraSimulator> simulator_;
};

TEST_F(CameraSimulatorTest, AnswersASearchWithOneReplyPerCamera) {
  ASSERT_NO_FATAL_FAILURE(startSimulator());
  EXPECT_THAT(search(), UnorderedElementsAreArray(kThreeCamerasFound));
  expectNoOtherReplyOnItsWay();
}

TEST_F(CameraSimulatorTest, SimulatorsShareTheHost) {
  ASSERT_NO_FATAL_FAILURE(startSimulator());
  CameraSimulator other(generateCameras({2, MacAddress{0x0A0000000001, false}, {10, 9, 0, 1}, {10, 9, 0, 254}}));
  ASSERT_TRUE(other.start()) << other.error();
  EXPECT_THAT(search(5), UnorderedElementsAre(kThreeCamerasFound[0], kThreeCamerasFound[1], kThreeCamerasFound[2],
                                              searchReply("0A:00:00:00:00:01", "10.9.0.1", "10.9.0.254"),
                                              searchReply("0A:00:00:00:00:02", "10.9.0.2", "10.9.0.254")));
}

TEST_F(CameraSimulatorTest, SetIpMovesOnlyTheCameraItNames) {
  ASSERT_NO_FATAL_FAILURE(startSimulator());
  client_.sendToGroup(moveDatagram(CMD_SET_IP, kSecondMac));
  EXPECT_THAT(client_.awaitReplies(1), ElementsAre(setIpReply(kSecondMac, "172.16.5.9", "172.16.5.1")));
  EXPECT_THAT(search(), UnorderedElementsAre(kThreeCamerasFound[0], searchReply(kSecondMac, "172.16.5.9", "172.16.5.1"),
                                             kThreeCamerasFound[2]));
}

// A hook that notes each change it is asked to make and answers `refusal`.
AddressChangeHook recordingHook(std::vector<std::string>& changesAsked, std::string refusal) {
  return [&changesAsked, refusal](const SimulatedCamera& camera, const Ipv4Bytes& newAddress,
                                  const Ipv4Bytes& newGateway) {
    changesAsked.push_back(std::string(camera.mac.text()) + ' ' + formatAddress(newAddress) + ' ' +
                           formatAddress(newGateway));
    return refusal;
  };
}

TEST_F(CameraSimulatorTest, RefusedChangeKeepsTheAddressesAndReportsThem) {
  std::vector<std::string> changesAsked;
  ASSERT_NO_FATAL_FAILURE(startSimulator(recordingHook(changesAsked, "refused by the test")));
  client_.sendToGroup(moveDatagram(CMD_SET_IP, kSecondMac));
  EXPECT_THAT(client_.awaitReplies(1), ElementsAre(setIpReply(kSecondMac, "10.0.1.0", "10.0.0.1")));
  EXPECT_THAT(search(), UnorderedElementsAreArray(kThreeCamerasFound));
  simulator_->stop();  // joins the thread that ran the hook, so its record is complete
  EXPECT_THAT(changesAsked, ElementsAre(kSecondMac + " 172.16.5.9 172.16.5.1"));
}

TEST_F(CameraSimulatorTest, ImpossibleAddressesAreRefusedBeforeTheInterfaceIsAsked) {
  std::vector<std::string> changesAsked;
  ASSERT_NO_FATAL_FAILURE(startSimulator(recordingHook(changesAsked, "")));
  const std::pair<Ipv4Bytes, Ipv4Bytes> impossible[] = {
      {{0, 0, 0, 0}, {172, 16, 5, 1}},         {{127, 0, 0, 1}, {172, 16, 5, 1}},
      {{255, 255, 255, 255}, {172, 16, 5, 1}}, {discovery::DISCOVERY_GROUP, {172, 16, 5, 1}},
      {{172, 16, 5, 255}, {172, 16, 5, 1}},    {{172, 16, 5, 9}, {0, 0, 0, 0}},
      {{172, 16, 5, 9}, {224, 0, 0, 1}},       {{172, 16, 5, 9}, {255, 255, 255, 255}}};
  for (const auto& [address, gateway] : impossible) {
    client_.sendToGroup(setIpDatagram(CMD_SET_IP, kSecondMac, address, gateway));
    EXPECT_THAT(client_.awaitReplies(1), ElementsAre(setIpReply(kSecondMac, "10.0.1.0", "10.0.0.1")))
        << formatAddress(address) << " gateway " << formatAddress(gateway);
  }
  EXPECT_THAT(search(), UnorderedElementsAreArray(kThreeCamerasFound));
  simulator_->stop();
  EXPECT_THAT(changesAsked, testing::IsEmpty());
}

TEST_F(CameraSimulatorTest, StopsPromptlyWhileWaitingForRequests) {
  ASSERT_NO_FATAL_FAILURE(startSimulator());
  ASSERT_THAT(search(), SizeIs(kThreeCamerasFound.size()));  // it is serving, hence blocked in its next read
  auto stopping = std::async(std::launch::async, [this] { simulator_->stop(); });
  EXPECT_EQ(stopping.wait_for(kTestDeadline), std::future_status::ready);
}

struct IgnoredDatagram {
  std::string name;
  discovery::Bytes bytes;

  friend void PrintTo(const IgnoredDatagram& ignored, std::ostream* out) { *out << ignored.name; }
};

class IgnoredDatagramTest : public CameraSimulatorTest, public testing::WithParamInterface<IgnoredDatagram> {};

TEST_P(IgnoredDatagramTest, GetsNoAnswerAndChangesNothing) {
  ASSERT_NO_FATAL_FAILURE(startSimulator());
  client_.sendToGroup(GetParam().bytes);
  expectNoOtherReplyOnItsWay();
  EXPECT_THAT(search(), UnorderedElementsAreArray(kThreeCamerasFound));
}

discovery::Bytes withFirstBytes(discovery::Bytes datagram, std::size_t length) {
  datagram.resize(length);
  return datagram;
}

discovery::Bytes withBrokenMagic(discovery::Bytes datagram) {
  datagram[2] = 0xEE;
  return datagram;
}

INSTANTIATE_TEST_SUITE_P(
    Requests, IgnoredDatagramTest,
    testing::Values(IgnoredDatagram{"SetIpForUnknownMac", moveDatagram(CMD_SET_IP, "00:11:22:33:45:02")},
                    IgnoredDatagram{"SetIpForMacInOtherCase", moveDatagram(CMD_SET_IP, "00:11:22:33:44:ff")},
                    IgnoredDatagram{"SetIpCutShort", withFirstBytes(moveDatagram(CMD_SET_IP, kSecondMac), 40)},
                    IgnoredDatagram{"SetIpWithBrokenMagic", withBrokenMagic(moveDatagram(CMD_SET_IP, kSecondMac))},
                    IgnoredDatagram{"SetIpReply", moveDatagram(CMD_SET_IP_REPLY, kSecondMac)},
                    IgnoredDatagram{"SearchWithBrokenMagic",
                                    withBrokenMagic(discovery::encodeDatagram(CMD_SEARCH, {}))},
                    IgnoredDatagram{"SearchReply",
                                    discovery::encodeDatagram(CMD_SEARCH_REPLY,
                                                              discovery::encodeRecord(discovery::DeviceInfoRecord{}))},
                    IgnoredDatagram{"Empty", {}}),
    [](const testing::TestParamInfo<IgnoredDatagram>& info) { return info.param.name; });

}  // namespace
}  // namespace camerasim
