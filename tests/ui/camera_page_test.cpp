#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeView>
#include <cstdlib>

#include "discovery/channel.h"
#include "discovery/protocol.h"
#include "support/datagrams.h"
#include "support/fixed_network.h"
#include "support/wire_peer.h"
#include "ui/dialog_builder.h"
#include "ui/dlg_update_ip.h"
#include "ui/ip_address_edit.h"
#include "ui/fake_presenter.h"

namespace ui {
namespace {

using discovery::Bytes;
using testsupport::FakePresenter;
using testsupport::searchReply;
using testsupport::setIpReply;
using testsupport::WirePeer;

constexpr int kWaitMs = 10000;

class CameraPageTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(peer.ok());
    page.show();
    ASSERT_TRUE(page.channel().isOpen()) << page.channel().openError();
  }

  QString cell(int row, int column) const {
    return page.cameraModel().data(page.cameraModel().index(row, column), Qt::DisplayRole).toString();
  }
  // Replies are applied in arrival order, so once a later sentinel is listed
  // everything sent before it has been applied.
  void sendAndSettle(const std::vector<Bytes>& datagrams) {
    for (const Bytes& datagram : datagrams) peer.sendToGroup(datagram);
    const int before = page.cameraModel().rowCount();
    peer.sendToGroup(searchReply("SENTINEL-" + std::to_string(sentinels++), "0.0.0.0"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return page.cameraModel().rowCount() > before &&
                                             cell(page.cameraModel().rowCount() - 1, 0).startsWith("SENTINEL"); },
                                kWaitMs));
  }
  // As a person's double-click arrives: a click, then the double-click event.
  void doubleClick(QPoint position, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseClick(list()->viewport(), button, {}, position);
    QTest::mouseDClick(list()->viewport(), button, {}, position);
  }
  QPoint rowCenter(int row) const { return list()->visualRect(page.cameraModel().index(row, 0)).center(); }
  QPoint emptySpace() const { return {20, list()->viewport()->height() - 5}; }
  QTreeView* list() const { return control<QTreeView>(&page, 1009); }
  QString box(int id) const { return control<QLineEdit>(&page, id)->text(); }
  void clickApply() { QTest::mouseClick(control<QPushButton>(&page, 1019), Qt::LeftButton); }

  FakePresenter messages;
  // The PC's one adapter, whose gateway gives the page's default address and gateway.
  testsupport::FixedNetwork network{{testsupport::loopbackWire("192.168.1.1")}};
  CDlgUpdateIP page{messages, network, nullptr};
  WirePeer peer;
  int sentinels = 0;
};

TEST_F(CameraPageTest, ListShowsThreeColumnsWithTheirHeaders) {
  EXPECT_EQ(page.cameraModel().headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), "摄像机MAC");
  EXPECT_EQ(page.cameraModel().headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), "IP地址");
  EXPECT_EQ(page.cameraModel().headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(), "网关)");
  for (int column = 0; column < 3; ++column) EXPECT_EQ(list()->columnWidth(column), 150);
  EXPECT_EQ(list()->selectionMode(), QAbstractItemView::ExtendedSelection);
  EXPECT_EQ(list()->selectionBehavior(), QAbstractItemView::SelectRows);
}

TEST_F(CameraPageTest, DefaultsComeFromThePcsGateway) {
  EXPECT_EQ(control<IpAddressEdit>(&page, 1050)->text(), "192.168.1.241");
  EXPECT_EQ(control<IpAddressEdit>(&page, 1051)->text(), "192.168.1.1");
}

TEST_F(CameraPageTest, SameMacTwiceGivesOneRowWithTheFirstTexts) {
  sendAndSettle({searchReply("00:11:22:33:44:55", "10.0.0.5"), searchReply("00:11:22:33:44:55", "172.16.5.9"),
                 searchReply("00:11:22:33:44:66", "10.0.0.6")});
  ASSERT_EQ(page.cameraModel().rowCount(), 3);  // two cameras and the sentinel
  EXPECT_EQ(cell(0, 0), "00:11:22:33:44:55");
  EXPECT_EQ(cell(0, 1), "10.0.0.5");
  EXPECT_EQ(cell(0, 2), "10.0.0.1");
  EXPECT_EQ(cell(1, 0), "00:11:22:33:44:66");
}

TEST_F(CameraPageTest, SearchSendsOneRequestPerClickAndNeverDuplicatesRows) {
  sendAndSettle({searchReply("CAM", "10.0.0.5")});
  auto* search = control<QPushButton>(&page, 1018);
  QTest::mouseClick(search, Qt::LeftButton);
  QTest::mouseClick(search, Qt::LeftButton);
  const auto sent = peer.sentByOthers();
  ASSERT_EQ(sent.size(), 2u);
  for (const auto& datagram : sent) EXPECT_EQ(datagram.payload, discovery::encodeDatagram(discovery::CMD_SEARCH, {}));
  sendAndSettle({searchReply("CAM", "10.0.0.5")});
  EXPECT_EQ(page.cameraModel().rowCount(), 3);  // CAM and two sentinels
}

TEST_F(CameraPageTest, TextsFromTheWireAreShownDecodedFromGbk) {
  sendAndSettle({searchReply("\xC9\xE3\xCF\xF1\xBB\xFA-1", "10.0.0.5")});  // "摄像机-1" in GBK
  EXPECT_EQ(cell(0, 0), "摄像机-1");
}

TEST_F(CameraPageTest, IpChangedRewritesThatRowOnlyAndLeavesTheBoxes) {
  sendAndSettle({searchReply("CAM-A", "10.0.0.5"), searchReply("CAM-B", "10.0.0.6", "10.0.0.254")});
  doubleClick(rowCenter(1));
  ASSERT_EQ(box(1001), "CAM-B");
  sendAndSettle({setIpReply("CAM-B", {192, 168, 1, 241}, {192, 168, 1, 1}), setIpReply("NOT-LISTED", {1, 1, 1, 1}, {1, 1, 1, 1})});
  EXPECT_EQ(cell(1, 1), "192.168.1.241");
  EXPECT_EQ(cell(1, 2), "192.168.1.1");
  EXPECT_EQ(cell(0, 1), "10.0.0.5");
  EXPECT_EQ(cell(0, 2), "10.0.0.1");
  EXPECT_EQ(box(1001), "CAM-B");
  EXPECT_EQ(box(1002), "10.0.0.6");
  EXPECT_EQ(box(1003), "10.0.0.254");
}

TEST_F(CameraPageTest, DoubleClickPicksTheFirstSelectedRowWhereverItLands) {
  sendAndSettle({searchReply("CAM-A", "10.0.0.5"), searchReply("CAM-B", "10.0.0.6")});
  doubleClick(emptySpace());
  EXPECT_EQ(box(1001), "");  // nothing selected: nothing picked

  QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, rowCenter(1));
  QTest::mouseClick(list()->viewport(), Qt::LeftButton, Qt::ControlModifier, rowCenter(2));
  doubleClick(emptySpace());
  EXPECT_EQ(box(1001), "CAM-B");  // the first selected row, not the one under the pointer
  EXPECT_EQ(box(1002), "10.0.0.6");

  doubleClick(rowCenter(0));
  EXPECT_EQ(box(1001), "CAM-A");
}

TEST_F(CameraPageTest, OnlyTheLeftButtonsDoubleClickPicks) {
  sendAndSettle({searchReply("CAM-A", "10.0.0.5"), searchReply("CAM-B", "10.0.0.6")});
  for (const Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton}) {
    doubleClick(rowCenter(1), button);
    doubleClick(emptySpace(), button);
    EXPECT_EQ(box(1001), "") << button;
  }
  doubleClick(rowCenter(1));
  EXPECT_EQ(box(1001), "CAM-B");
}

TEST_F(CameraPageTest, ApplyWithoutAPickedCameraSendsAndShowsNothing) {
  clickApply();
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_TRUE(peer.sentByOthers().empty());
}

TEST_F(CameraPageTest, ApplyWithABlankGatewaySendsAndShowsNothing) {
  sendAndSettle({searchReply("CAM-A", "10.0.0.5")});
  doubleClick(rowCenter(0));
  control<IpAddressEdit>(&page, 1051)->clear();
  clickApply();
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_TRUE(peer.sentByOthers().empty());
}

TEST_F(CameraPageTest, ApplyConfirmedSendsOneSetIpRequestWithTheDefaults) {
  sendAndSettle({searchReply("00:11:22:33:44:55", "10.0.0.5")});
  doubleClick(rowCenter(0));
  clickApply();
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, "确定IP，网关都填写对了？\r\n修改IP吗？");
  EXPECT_EQ(messages.shown[0].caption, "提示");
  EXPECT_EQ(messages.shown[0].buttons, MessageButtons::OkCancel);
  EXPECT_EQ(messages.shown[0].icon, MessageIcon::Question);
  const auto sent = peer.sentByOthers();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].payload, discovery::encodeDatagram(discovery::CMD_SET_IP,
                                                       discovery::encodeSetIpRequest("00:11:22:33:44:55", 0xC0A801F1,
                                                                                     0xC0A80101)));
}

TEST_F(CameraPageTest, ApplyCancelledSendsNothing) {
  sendAndSettle({searchReply("CAM-A", "10.0.0.5")});
  doubleClick(rowCenter(0));
  messages.answer = MessageResult::Cancel;
  clickApply();
  EXPECT_EQ(messages.shown.size(), 1u);
  EXPECT_TRUE(peer.sentByOthers().empty());
}

TEST_F(CameraPageTest, MacWithGbkTextIsSentAsItsGbkBytes) {
  sendAndSettle({searchReply("\xC9\xE3-1", "10.0.0.5")});
  doubleClick(rowCenter(0));
  clickApply();
  const auto sent = peer.sentByOthers();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(sent[0].payload.data()) + 16, 4), "\xC9\xE3-1");
}

TEST_F(CameraPageTest, MacThatIsNotValidGbkIsSentAsItCame) {
  sendAndSettle({searchReply("CAM\x81", "10.0.0.5")});  // a lone lead byte
  doubleClick(rowCenter(0));
  clickApply();
  const auto sent = peer.sentByOthers();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(sent[0].payload.data()) + 16, 5), std::string("CAM\x81\0", 5));
}

TEST(CameraPageLifetimeTest, DestroyingThePageWhileRepliesPourInIsClean) {
  WirePeer peer;
  discovery::SystemNetwork network;
  for (int round = 0; round < 20; ++round) {
    FakePresenter messages;
    auto page = std::make_unique<CDlgUpdateIP>(messages, network, nullptr);
    for (int i = 0; i < 200; ++i) peer.sendToGroup(searchReply("CAM-" + std::to_string(i), "10.0.0.5"));
    page.reset();  // queued hand-overs for the gone page must not run
    QCoreApplication::processEvents();
  }
  SUCCEED();
}

}  // namespace
}  // namespace ui
