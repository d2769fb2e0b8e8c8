// The camera page's operations without a toolkit, on the private network: the
// proposal, the search, the pick, Apply's rules and request, and the records
// from the receive thread reaching the list when the front-end asks.
#include "pages/camera_page.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "support/datagrams.h"
#include "support/fixed_network.h"
#include "support/wire_peer.h"

namespace pages {
namespace {

using testsupport::searchReply;

class CameraPageTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(peer.ok());
    ASSERT_TRUE(page.open()) << page.channel().openError();
  }

  // Applies records as a front-end does when woken, until `done` holds.
  template <typename Condition>
  bool applyUntil(Condition done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!done()) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      if (wakes == 0) {
        std::this_thread::yield();
        continue;
      }
      --wakes;
      while (page.applyRecords().more) {
      }
    }
    return true;
  }
  void listCameras(std::vector<std::string> macs) {
    for (const auto& mac : macs) peer.sendToGroup(searchReply(mac, "10.0.0." + std::to_string(page.rowCount() + 5)));
    ASSERT_TRUE(applyUntil([&] { return page.rowCount() == macs.size(); }));
  }

  std::atomic<int> wakes{0};
  testsupport::FixedNetwork network{{testsupport::loopbackWire("192.168.1.1")}};
  CameraPage page{network, [this] { ++wakes; }};
  testsupport::WirePeer peer;
};

TEST_F(CameraPageTest, TheNewAddressAndGatewayAreProposedFromThePcsGateway) {
  EXPECT_EQ(page.proposedAddress(), "192.168.1.241");
  EXPECT_EQ(page.proposedGateway(), "192.168.1.1");
}

TEST_F(CameraPageTest, AnsweredSearchesAreListedOncePerMacWithTheirTexts) {
  page.search();
  const auto sent = peer.sentByOthers();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].payload, discovery::encodeDatagram(discovery::CMD_SEARCH, {}));
  peer.sendToGroup(searchReply("CAM-A", "10.0.0.5", "10.0.0.1"));
  peer.sendToGroup(searchReply("CAM-A", "10.9.9.9"));
  peer.sendToGroup(searchReply("CAM-B", "172.16.5.20"));
  ASSERT_TRUE(applyUntil([&] { return page.rowCount() == 2; }));
  EXPECT_EQ(page.cell(0, kMacColumn), "CAM-A");
  EXPECT_EQ(page.cell(0, kIpColumn), "10.0.0.5");
  EXPECT_EQ(page.cell(0, kGatewayColumn), "10.0.0.1");
  EXPECT_EQ(page.cell(1, kMacColumn), "CAM-B");
  EXPECT_EQ(page.cell(2, kMacColumn), "") << "no row past the list";
  EXPECT_EQ(page.cell(0, kCameraColumnCount), "") << "no column past the list's";
}

TEST_F(CameraPageTest, ThePickIsTheFirstSelectedListedRowAndStaysWhenNoneIs) {
  listCameras({"CAM-A", "CAM-B", "CAM-C"});
  const std::vector<std::size_t> twoSelected{2, 1};
  ASSERT_TRUE(page.pick(twoSelected));
  EXPECT_EQ(page.picked().mac, "CAM-B");
  EXPECT_FALSE(page.pick({}));
  const std::vector<std::size_t> pastTheList{3};
  EXPECT_FALSE(page.pick(pastTheList));
  EXPECT_EQ(page.picked().mac, "CAM-B");
}

TEST_F(CameraPageTest, ApplyNeedsAPickAndBothValuesAndSendsTheRequestForThePickedMac) {
  constexpr std::uint32_t kAddress = 0xC0A801F1;  // 192.168.1.241
  constexpr std::uint32_t kGateway = 0xC0A80101;  // 192.168.1.1
  EXPECT_FALSE(page.readyToApply(kAddress, kGateway)) << "nothing picked";
  listCameras({"CAM-A"});
  const std::vector<std::size_t> first{0};
  ASSERT_TRUE(page.pick(first));
  EXPECT_FALSE(page.readyToApply(0, kGateway));
  EXPECT_FALSE(page.readyToApply(kAddress, 0));
  page.apply(0, kGateway);
  EXPECT_TRUE(peer.sentByOthers().empty()) << "a blank address is never sent";

  ASSERT_TRUE(page.readyToApply(kAddress, kGateway));
  page.apply(kAddress, kGateway);
  const auto sent = peer.sentByOthers();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].payload.size(), 44u);
  const auto request = discovery::decodeSetIpRequest(sent[0].payload);
  ASSERT_TRUE(request);
  EXPECT_EQ(request->mac.text(), "CAM-A");
  EXPECT_EQ(request->newAddress, (discovery::Ipv4Bytes{192, 168, 1, 241}));
  EXPECT_EQ(request->newGateway, (discovery::Ipv4Bytes{192, 168, 1, 1}));
}

TEST(CameraPageWithoutGatewayTest, ProposesNothing) {
  testsupport::FixedNetwork network{{testsupport::loopbackWire()}};
  CameraPage page{network, [] {}};
  page.open();
  EXPECT_EQ(page.proposedAddress(), "");
  EXPECT_EQ(page.proposedGateway(), "");
}

}  // namespace
}  // namespace pages
