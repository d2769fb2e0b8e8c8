// The camera page's operations without a toolkit, on the private network: the
// proposal, the search, the pick, Apply's rules and request, and the records
// from the receive thread reaching the list when the front-end asks.
#include "pages/camera_page.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "pages/list_text.h"
#include "support/datagrams.h"
#include "support/fixed_network.h"
#include "support/wire_peer.h"

namespace pages {
namespace {

using testsupport::searchReply;
using testsupport::setIpReply;

constexpr std::uint32_t address(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d) {
  return a << 24 | b << 16 | c << 8 | d;
}

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
  // Lists cameras at 10.0.0.5, 10.0.0.6 and so on.
  void listCameras(std::vector<std::string> macs) {
    for (std::size_t i = 0; i < macs.size(); ++i) peer.sendToGroup(searchReply(macs[i], "10.0.0." + std::to_string(i + 5)));
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

TEST_F(CameraPageTest, CopiedRowsAreTabSeparatedInListOrderUnderTheHeaders) {
  peer.sendToGroup(searchReply("CAM-A", "10.0.0.5", "10.0.0.1"));
  peer.sendToGroup(searchReply("CAM\tB", "10.0.0.6", "10.0.0.1"));
  peer.sendToGroup(searchReply("CAM-C", "10.0.0.7", "10.0.0.1"));
  ASSERT_TRUE(applyUntil([&] { return page.rowCount() == 3; }));
  const std::vector<std::size_t> selected{2, 1};
  const auto asIs = [](std::string_view gbk) { return std::string(gbk); };
  EXPECT_EQ(copiedText(page, selected, asIs),
            "摄像机MAC\tIP地址\t网关)\r\n"
            "CAM B\t10.0.0.6\t10.0.0.1\r\n"
            "CAM-C\t10.0.0.7\t10.0.0.1\r\n");
}

TEST_F(CameraPageTest, TheExportIsUtf8WithAByteOrderMarkQuotedAsCsvAndShowsMacsAsTheListDoes) {
  peer.sendToGroup(searchReply("CAM,\"1\"", "10.0.0.5", "10.0.0.1"));
  peer.sendToGroup(searchReply("=HYPERLINK(1)", "10.0.0.6", "10.0.0.1"));
  peer.sendToGroup(searchReply("\xFF\xFE-3", "10.0.0.7", "10.0.0.1"));  // not GBK
  ASSERT_TRUE(applyUntil([&] { return page.rowCount() == 3; }));
  // Stands in for the front-end's decoder: what the list shows.
  const auto shown = [](std::string_view gbk) { return gbk == "\xFF\xFE-3" ? std::string("\uFFFD\uFFFD-3") : std::string(gbk); };
  EXPECT_EQ(csvText(page, shown),
            "\xEF\xBB\xBF"
            "摄像机MAC,IP地址,网关)\r\n"
            "\"CAM,\"\"1\"\"\",10.0.0.5,10.0.0.1\r\n"
            "'=HYPERLINK(1),10.0.0.6,10.0.0.1\r\n"
            "\uFFFD\uFFFD-3,10.0.0.7,10.0.0.1\r\n");
}

TEST_F(CameraPageTest, AnAddressIsAConflictWhenAnotherCameraOrThePcHasIt) {
  listCameras({"CAM-A", "CAM-B"});
  const std::vector<std::size_t> first{0};
  ASSERT_TRUE(page.pick(first));
  EXPECT_EQ(page.conflictOf(address(10, 0, 0, 5)), std::nullopt) << "the picked camera's own address";
  const auto listed = page.conflictOf(address(10, 0, 0, 6));
  ASSERT_TRUE(listed);
  EXPECT_FALSE(listed->thisPc);
  EXPECT_EQ(listed->mac, "CAM-B");
  const auto own = page.conflictOf(address(127, 0, 0, 1));  // the PC's loopback adapter
  ASSERT_TRUE(own);
  EXPECT_TRUE(own->thisPc);
  EXPECT_EQ(page.conflictOf(address(10, 0, 0, 7)), std::nullopt);
}

TEST_F(CameraPageTest, ABatchPassesOverOtherCamerasTheGatewayAndThePcThenNamesTheCamerasThatDidNotAnswer) {
  peer.sendToGroup(searchReply("CAM-A", "10.0.0.5"));
  peer.sendToGroup(searchReply("CAM-B", "10.0.0.6"));
  peer.sendToGroup(searchReply("CAM-C", "192.168.1.102"));
  ASSERT_TRUE(applyUntil([&] { return page.rowCount() == 3; }));
  const std::vector<std::size_t> aAndB{1, 0};
  const auto plan = page.planBatch(aAndB, address(192, 168, 1, 100), address(192, 168, 1, 101));
  ASSERT_FALSE(plan.ranOut);
  ASSERT_EQ(plan.items.size(), 2u);
  EXPECT_EQ(plan.items[0].mac, "CAM-A");
  EXPECT_EQ(plan.items[0].newAddress, address(192, 168, 1, 100));
  EXPECT_EQ(plan.items[1].mac, "CAM-B");
  EXPECT_EQ(plan.items[1].newAddress, address(192, 168, 1, 103)) << "past the gateway and CAM-C";
  EXPECT_TRUE(page.planBatch(aAndB, address(192, 168, 1, 254), address(192, 168, 1, 1)).ranOut);

  page.startBatch(plan.items, address(192, 168, 1, 1));
  int sent = 0;
  while (page.sendNextOfBatch()) ++sent;
  EXPECT_EQ(sent, 2);
  const auto requests = peer.sentByOthers();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(discovery::decodeSetIpRequest(requests[1].payload)->newAddress, (discovery::Ipv4Bytes{192, 168, 1, 103}));

  peer.sendToGroup(setIpReply("CAM-B", {192, 168, 1, 103}, {192, 168, 1, 1}));
  ASSERT_TRUE(applyUntil([&] { return page.cell(1, kIpColumn) == "192.168.1.103"; }));
  const auto unanswered = page.unansweredOfBatch();
  ASSERT_EQ(unanswered.size(), 1u);
  EXPECT_EQ(unanswered[0].mac, "CAM-A");
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
