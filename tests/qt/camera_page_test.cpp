// The camera page, offscreen, on the private network: each path from a
// widget to the page's controller and back (the list, the pick, Apply, the
// list's menu with the batch, the site plan, copy, export and the network
// check), texts in GBK and not, and what anyone on the network can throw at
// it while the user works. The rules themselves are the page layer's tests.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <string>
#include <unordered_map>
#include <vector>

#include "discovery/channel.h"
#include "discovery/datagram_socket.h"
#include "discovery/protocol.h"
#include "support/datagrams.h"
#include "support/fixed_network.h"
#include "support/hostile_datagrams.h"
#include "support/kernel_counters.h"
#include "support/qt_printers.h"
#include "support/test_network_setup.h"
#include "support/wire_peer.h"
#include "qt/dialog_builder.h"
#include "qt/camera_page.h"
#include "qt/fake_presenter.h"
#include "qt/gbk.h"
#include "qt/ip_address_edit.h"
#include "qt/ui_test_support.h"
#include "res/resource_ids.h"

namespace qtui {
namespace {

using namespace ids::camera_page;
using discovery::Bytes;
using testsupport::FakePresenter;
using testsupport::residentBytes;
using testsupport::searchReply;
using testsupport::setIpReply;
using testsupport::WirePeer;

constexpr int kWaitMs = 60000;

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kSanitized = true;  // the sanitizers' own memory swamps the figure
#else
constexpr bool kSanitized = false;
#endif

class CameraPageTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(peer.ok());
    ASSERT_TRUE(channelOpened);
    ASSERT_TRUE(page.channel().multicast().isOpen()) << page.channel().multicast().openError();
  }

  // Shown, and its channel open, before the peer's capture opens: a capture
  // opened before the channel joined the group, once an earlier test's
  // channel had left it, was seen to drop the datagrams that followed.
  static bool showAndOpen(CameraPage& page) {
    page.show();
    return QTest::qWaitFor([&] { return page.page().channelOpened().has_value(); }, kWaitMs);
  }

  const CameraListModel& model() const { return page.cameraModel(); }
  // A row's texts as they came from the wire.
  pages::CameraRow rowAt(int row) const {
    const auto text = [&](std::size_t column) { return page.page().cell(static_cast<std::size_t>(row), column); };
    return {text(pages::kMacColumn), text(pages::kIpColumn), text(pages::kGatewayColumn)};
  }
  QString cell(int row, int column) const { return model().data(model().index(row, column), Qt::DisplayRole).toString(); }
  // Answers are applied in arrival order: once a last answer from a MAC not
  // heard before is the last row, everything sent before it has been applied.
  bool applied(std::size_t rows, const std::string& lastMac) const {
    return model().rowCount() == static_cast<int>(rows) && rowAt(model().rowCount() - 1).mac == lastMac;
  }
  void sendAndSettle(const std::vector<Bytes>& datagrams) {
    for (const Bytes& datagram : datagrams) peer.sendToGroup(datagram);
    const std::string sentinel = "SENTINEL-" + std::to_string(sentinels++);
    peer.sendToGroup(searchReply(sentinel, "0.0.0.0"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return model().rowCount() > 0 && rowAt(model().rowCount() - 1).mac == sentinel; },
                                kWaitMs));
  }
  // As a person's double-click arrives: a click, then the double-click event.
  void doubleClick(QPoint position, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseClick(list()->viewport(), button, {}, position);
    QTest::mouseDClick(list()->viewport(), button, {}, position);
  }
  // A double-click as it comes from the window system: queued behind
  // whatever the page has still to do.
  void postDoubleClick(int row) {
    QWidget* viewport = list()->viewport();
    const QPointF at = rowCenter(row);
    const QPointF global = viewport->mapToGlobal(at);
    using T = QEvent::Type;
    for (const T type : {T::MouseButtonPress, T::MouseButtonRelease, T::MouseButtonDblClick, T::MouseButtonRelease}) {
      const Qt::MouseButtons held = type == T::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
      QCoreApplication::postEvent(viewport, new QMouseEvent(type, at, global, Qt::LeftButton, held, Qt::NoModifier));
    }
  }
  QPoint rowCenter(int row) const { return list()->visualRect(model().index(row, 0)).center(); }
  void selectRows(std::initializer_list<int> rows) {
    list()->clearSelection();
    for (const int row : rows)
      list()->selectionModel()->select(model().index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
  }
  // One of the list's own menu entries, as the menu or its shortcut runs it.
  void runListMenuEntry(const char* text) {
    for (QAction* action : list()->actions())
      if (action->text() == QString::fromUtf8(text)) return action->trigger();
    ADD_FAILURE() << "the list's menu has no entry " << text;
  }
  // The set-IP requests put on the wire until `count` have gone, in order.
  std::vector<discovery::SetIpRecord> awaitSetIpRequests(std::size_t count) {
    std::vector<discovery::SetIpRecord> requests;
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
          for (const auto& datagram : peer.sentByOthers())
            if (const auto request = discovery::decodeSetIpRequest(datagram.payload)) requests.push_back(*request);
          return requests.size() >= count;
        },
        kWaitMs)) << "fewer than " << count << " set-IP requests went";
    return requests;
  }
  QPoint emptySpace() const { return {20, list()->viewport()->height() - 5}; }
  QTableView* list() const { return control(&page, kCameraList); }
  QString box(ControlId<ControlKind::Edit> name) const { return control(&page, name)->text(); }
  void click(ControlId<ControlKind::PushButton> name) { QTest::mouseClick(control(&page, name), Qt::LeftButton); }
  // Datagrams per paced batch: no more than the receive buffer holds for
  // certain, and few enough that the user gets to click often.
  std::size_t batchSize() const {
    return std::min<std::size_t>(testsupport::datagramsHeldBy(page.channel().multicast().receiveBufferBytes()), 2048);
  }

  FakePresenter messages;
  // The PC's one adapter, whose gateway gives the page's default address and gateway.
  testsupport::FixedNetwork network{{testsupport::loopbackWire("192.168.1.1")}};
  CameraPage page{messages, network, nullptr};
  bool channelOpened = showAndOpen(page);
  WirePeer peer;
  int sentinels = 0;
};

TEST_F(CameraPageTest, ListShowsThreeColumnsWithTheirHeaders) {
  EXPECT_EQ(model().headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), "摄像机MAC");
  EXPECT_EQ(model().headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), "IP地址");
  EXPECT_EQ(model().headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(), "网关)");
  for (int column = 0; column < 3; ++column) EXPECT_EQ(list()->columnWidth(column), 150);
  EXPECT_EQ(list()->selectionMode(), QAbstractItemView::ExtendedSelection);
  EXPECT_EQ(list()->selectionBehavior(), QAbstractItemView::SelectRows);
}

TEST_F(CameraPageTest, DefaultsComeFromThePcsGateway) {
  EXPECT_EQ(control(&page, kNewAddress)->text(), "192.168.1.241");
  EXPECT_EQ(control(&page, kNewGateway)->text(), "192.168.1.1");
}

TEST_F(CameraPageTest, SearchSendsOneRequestPerClickAndNeverDuplicatesRows) {
  sendAndSettle({searchReply("CAM", "10.0.0.5")});
  click(kSearch);
  click(kSearch);
  const auto sent = peer.sentByOthers();
  ASSERT_EQ(sent.size(), 2u);
  for (const auto& datagram : sent) EXPECT_EQ(datagram.payload, discovery::encodeDatagram(discovery::CMD_SEARCH, {}));
  sendAndSettle({searchReply("CAM", "10.0.0.5")});
  EXPECT_EQ(model().rowCount(), 3);  // CAM and two sentinels
}

TEST_F(CameraPageTest, TextsFromTheWireAreShownDecodedFromGbk) {
  sendAndSettle({searchReply("\xC9\xE3\xCF\xF1\xBB\xFA-1", "10.0.0.5")});  // "摄像机-1" in GBK
  EXPECT_EQ(cell(0, 0), "摄像机-1");
}

TEST_F(CameraPageTest, IpChangedRewritesThatRowOnlyAndLeavesTheBoxes) {
  sendAndSettle({searchReply("CAM-A", "10.0.0.5"), searchReply("CAM-B", "10.0.0.6", "10.0.0.254")});
  doubleClick(rowCenter(1));
  ASSERT_EQ(box(kMac), "CAM-B");
  sendAndSettle({setIpReply("CAM-B", {192, 168, 1, 241}, {192, 168, 1, 1}), setIpReply("NOT-LISTED", {1, 1, 1, 1}, {1, 1, 1, 1})});
  EXPECT_EQ(cell(1, 1), "192.168.1.241");
  EXPECT_EQ(cell(1, 2), "192.168.1.1");
  EXPECT_EQ(cell(0, 1), "10.0.0.5");
  EXPECT_EQ(cell(0, 2), "10.0.0.1");
  EXPECT_EQ(box(kMac), "CAM-B");
  EXPECT_EQ(box(kIp), "10.0.0.6");
  EXPECT_EQ(box(kGateway), "10.0.0.254");
}

TEST_F(CameraPageTest, DoubleClickPicksTheFirstSelectedRowWhereverItLands) {
  sendAndSettle({searchReply("CAM-A", "10.0.0.5"), searchReply("CAM-B", "10.0.0.6")});
  doubleClick(emptySpace());
  EXPECT_EQ(box(kMac), "");  // nothing selected: nothing picked

  QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, rowCenter(1));
  QTest::mouseClick(list()->viewport(), Qt::LeftButton, Qt::ControlModifier, rowCenter(2));
  doubleClick(emptySpace());
  EXPECT_EQ(box(kMac), "CAM-B");  // the first selected row, not the one under the pointer
  EXPECT_EQ(box(kIp), "10.0.0.6");

  doubleClick(rowCenter(0));
  EXPECT_EQ(box(kMac), "CAM-A");
}

TEST_F(CameraPageTest, OnlyTheLeftButtonsDoubleClickPicks) {
  sendAndSettle({searchReply("CAM-A", "10.0.0.5"), searchReply("CAM-B", "10.0.0.6")});
  for (const Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton}) {
    doubleClick(rowCenter(1), button);
    doubleClick(emptySpace(), button);
    EXPECT_EQ(box(kMac), "") << button;
  }
  doubleClick(rowCenter(1));
  EXPECT_EQ(box(kMac), "CAM-B");
}

TEST_F(CameraPageTest, ApplyConfirmedSendsOneSetIpRequestWithTheDefaults) {
  sendAndSettle({searchReply("00:11:22:33:44:55", "10.0.0.5")});
  doubleClick(rowCenter(0));
  click(kApply);
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

TEST_F(CameraPageTest, BatchReaddressingSendsEachSelectedCameraItsAddressAndNamesTheOneThatDidNotAnswer) {
  sendAndSettle({searchReply("CAM-1", "10.0.0.5"), searchReply("CAM-2", "172.16.5.20"),
                 searchReply("CAM-3", "192.168.50.30")});
  selectRows({0, 1, 2});
  messages.onDialog = [](QDialog& dialog) {
    control(&dialog, ids::batch_dialog::kStart)->setText("192.168.1.100");
    QTest::mouseClick(control(&dialog, ids::batch_dialog::kOk), Qt::LeftButton);
  };
  runListMenuEntry("批量修改IP…");
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, "将修改 3 台摄像机的IP：\r\n192.168.1.100 至 192.168.1.102\r\n确定修改吗？");
  const auto requests = awaitSetIpRequests(3);
  ASSERT_EQ(requests.size(), 3u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(requests[i].mac.text(), "CAM-" + std::to_string(i + 1));
    EXPECT_EQ(requests[i].newAddress, (discovery::Ipv4Bytes{192, 168, 1, static_cast<std::uint8_t>(100 + i)}));
    EXPECT_EQ(requests[i].newGateway, (discovery::Ipv4Bytes{192, 168, 1, 1}));
  }

  // Two cameras take the change; the third stays silent.
  sendAndSettle({setIpReply("CAM-1", {192, 168, 1, 100}, {192, 168, 1, 1}),
                 setIpReply("CAM-2", {192, 168, 1, 101}, {192, 168, 1, 1})});
  EXPECT_EQ(cell(0, 1), "192.168.1.100");
  EXPECT_EQ(cell(1, 1), "192.168.1.101");
  ASSERT_TRUE(QTest::qWaitFor([&] { return messages.shown.size() == 2; }, kWaitMs));
  // This PC, with loopback alone, cannot look for the two that moved.
  EXPECT_EQ(messages.shown[1].text,
            "以下摄像机已改为新IP，但从本机访问不到：\r\nCAM-1  192.168.1.100\r\nCAM-2  192.168.1.101\r\n"
            "请检查网关和子网掩码是否适合本机的网络。\r\n\r\n"
            "以下摄像机没有应答：\r\nCAM-3  192.168.1.102\r\n\r\n再发送一次吗？");
  EXPECT_EQ(messages.shown[1].buttons, MessageButtons::OkCancel);
  EXPECT_EQ(messages.shown[1].icon, MessageIcon::Question);
  const auto again = awaitSetIpRequests(1);
  ASSERT_EQ(again.size(), 1u) << "OK sends to the silent camera again";
  EXPECT_EQ(again[0].mac.text(), "CAM-3");
}

TEST_F(CameraPageTest, APlanOfThreeCamerasIsPreviewedWithItsProblemsThenSentAndTheRowsAreRewritten) {
  namespace plan = ids::plan_dialog;
  sendAndSettle({searchReply("CAM-1", "10.0.0.5"), searchReply("CAM-2", "172.16.5.20"),
                 searchReply("CAM-3", "192.168.50.30")});
  QTemporaryDir folder;
  messages.fileToOpen = folder.filePath("规划表.csv");
  QFile file(messages.fileToOpen);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("MAC;Gateway;IP\r\nCAM-2;192.168.2.1;192.168.1.102\r\nCAM-9;192.168.1.1;192.168.1.109\r\n"
             "CAM-1;192.168.1.1;192.168.1.101\r\nCAM-3;192.168.1.1;192.168.1.103\r\n");
  file.close();

  std::vector<QStringList> preview;
  QString summary;
  QString listName;
  messages.onDialog = [&](QDialog& dialog) {
    QPushButton* ok = control(&dialog, plan::kOk);
    // This PC, with loopback alone, cannot verify the addresses; once each has that answer, OK may be pressed.
    ASSERT_TRUE(QTest::qWaitFor([&] { return ok->isEnabled(); }, kWaitMs)) << "the checks never answered";
    const QTableView* list = control(&dialog, plan::kPreview);
    listName = list->accessibleName();
    for (int row = 0; row < list->model()->rowCount(); ++row) {
      QStringList cells;
      for (int column = 0; column < list->model()->columnCount(); ++column)
        cells << list->model()->index(row, column).data().toString();
      preview.push_back(cells);
    }
    summary = control(&dialog, plan::kSummary)->text();
    QTest::mouseClick(ok, Qt::LeftButton);
  };
  runListMenuEntry("按计划修改IP…");
  EXPECT_EQ(listName, "规划表中的摄像机：");
  ASSERT_EQ(preview.size(), 4u);
  EXPECT_EQ(preview[0], (QStringList{"CAM-2", "172.16.5.20", "192.168.1.102", "192.168.2.1", "无法检查",
                                     "第 2 行：注意，网关 192.168.2.1 与 IP 192.168.1.102 不在同一个 /24 网段。"}));
  EXPECT_EQ(preview[1], (QStringList{"CAM-9", "未列出", "192.168.1.109", "192.168.1.1", "", ""}));
  EXPECT_EQ(preview[2], (QStringList{"CAM-1", "10.0.0.5", "192.168.1.101", "192.168.1.1", "无法检查", ""}));
  EXPECT_EQ(preview[3], (QStringList{"CAM-3", "192.168.50.30", "192.168.1.103", "192.168.1.1", "无法检查", ""}));
  EXPECT_EQ(summary, "规划表共 4 台摄像机，其中 3 台在列表中，将按计划修改；不在列表中的不会修改。");
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, "将按计划修改 3 台摄像机的IP和网关。\r\n确定修改吗？");

  const auto requests = awaitSetIpRequests(3);
  ASSERT_EQ(requests.size(), 3u) << "none for the camera not listed";
  const std::pair<const char*, discovery::Ipv4Bytes> sent[] = {
      {"CAM-2", {192, 168, 1, 102}}, {"CAM-1", {192, 168, 1, 101}}, {"CAM-3", {192, 168, 1, 103}}};
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(requests[i].mac.text(), sent[i].first);
    EXPECT_EQ(requests[i].newAddress, sent[i].second);
  }
  EXPECT_EQ(requests[0].newGateway, (discovery::Ipv4Bytes{192, 168, 2, 1}));

  sendAndSettle({setIpReply("CAM-1", {192, 168, 1, 101}, {192, 168, 1, 1}),
                 setIpReply("CAM-2", {192, 168, 1, 102}, {192, 168, 2, 1}),
                 setIpReply("CAM-3", {192, 168, 1, 103}, {192, 168, 1, 1})});
  EXPECT_EQ(cell(0, 1), "192.168.1.101");
  EXPECT_EQ(cell(1, 1), "192.168.1.102");
  EXPECT_EQ(cell(1, 2), "192.168.2.1");
  EXPECT_EQ(cell(2, 1), "192.168.1.103");
  // The batch's closing notice: every camera took its address, where this PC cannot look for it.
  ASSERT_TRUE(QTest::qWaitFor([&] { return messages.shown.size() == 2; }, kWaitMs));
  EXPECT_EQ(messages.shown[1].text,
            "以下摄像机已改为新IP，但从本机访问不到：\r\nCAM-2  192.168.1.102\r\nCAM-1  192.168.1.101\r\n"
            "CAM-3  192.168.1.103\r\n请检查网关和子网掩码是否适合本机的网络。");
  EXPECT_EQ(messages.shown[1].buttons, MessageButtons::Ok);
}

TEST_F(CameraPageTest, TheExportReadBackEqualsTheListAndCopyTakesTheSelectedRows) {
  sendAndSettle({searchReply("CAM-A", "10.0.0.5", "10.0.0.1"), searchReply("\xC9\xE3-1", "10.0.0.6", "10.0.0.1")});
  QTemporaryDir folder;
  messages.fileToSave = folder.filePath("cameras.csv");
  runListMenuEntry("导出列表…");
  QFile file(messages.fileToSave);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray written = file.readAll();
  EXPECT_TRUE(written.startsWith("\xEF\xBB\xBF")) << "a byte-order mark";
  QString expected = QStringLiteral("摄像机MAC,IP地址,网关)\r\n");
  for (int row = 0; row < model().rowCount(); ++row)
    expected += cell(row, 0) + "," + cell(row, 1) + "," + cell(row, 2) + "\r\n";
  EXPECT_EQ(QString::fromUtf8(written.mid(3)), expected);

  selectRows({1});
  list()->setFocus();
  QTest::keyClick(list(), Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "摄像机MAC\tIP地址\t网关)\r\n摄-1\t10.0.0.6\t10.0.0.1\r\n");
}

TEST_F(CameraPageTest, TheListsMenuOpensOnAnEmptyListWithThePlanAndTheNetworkCheck) {
  ASSERT_EQ(model().rowCount(), 0);
  QStringList entries;
  // The menu runs its own loop: it is read, then closed, from within it.
  QTimer::singleShot(0, [&] {
    if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
      for (const QAction* action : menu->actions()) entries << action->text();
      menu->close();
    }
  });
  QContextMenuEvent rightClick(QContextMenuEvent::Mouse, emptySpace(), list()->viewport()->mapToGlobal(emptySpace()));
  QApplication::sendEvent(list()->viewport(), &rightClick);
  EXPECT_TRUE(entries.contains("网络检查…")) << entries.join(", ").toStdString();
  EXPECT_EQ(entries.indexOf("按计划修改IP…"), entries.indexOf("批量修改IP…") + 1) << "the plan's entry below the batch's";
}

TEST_F(CameraPageTest, F5OpensTheNetworkCheckWhichSearchesShowsTheReportAndCopiesIt) {
  namespace check = ids::network_check_dialog;
  QString shown;
  std::vector<testsupport::WireDatagram> sent;
  messages.onDialog = [&](QDialog& dialog) {
    const QPlainTextEdit* report = control(&dialog, check::kReport);
    EXPECT_EQ(report->toPlainText(), "正在检查，请稍候…");
    EXPECT_FALSE(control(&dialog, check::kCopy)->isEnabled());
    sent = peer.sentByOthers();  // read at once: the peer loses its marker on a wire long quiet
    ASSERT_TRUE(QTest::qWaitFor([&] { return control(&dialog, check::kCopy)->isEnabled(); }, kWaitMs));
    shown = report->toPlainText();
    QTest::mouseClick(control(&dialog, check::kCopy), Qt::LeftButton);
    QTest::mouseClick(control(&dialog, check::kClose), Qt::LeftButton);
  };
  ASSERT_NO_FATAL_FAILURE(uitest::showActive(page));  // shortcuts work in the active window only
  list()->setFocus();
  {
    // An adapter for the report to show (the private network's loopback is
    // left out); gone before the wire is read, which it would disturb.
    const testsupport::VethPair adapter("tvcheck", "10.77.0.2/24");
    ASSERT_TRUE(adapter.ok());
    QTest::keyClick(list(), Qt::Key_F5);
  }
  EXPECT_THAT(shown.toStdString(), testing::HasSubstr("网卡 tvcheck：已连接，10.77.0.2/24"));
  EXPECT_EQ(QGuiApplication::clipboard()->text().replace("\r\n", "\n"), shown);
  ASSERT_EQ(sent.size(), 1u) << "the check searches once";
  EXPECT_EQ(sent[0].payload, discovery::encodeDatagram(discovery::CMD_SEARCH, {}));
}

TEST_F(CameraPageTest, MacThatIsNotValidGbkIsSentAsItCame) {
  sendAndSettle({searchReply("CAM\x81", "10.0.0.5")});  // a lone lead byte
  doubleClick(rowCenter(0));
  click(kApply);
  const auto sent = peer.sentByOthers();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(sent[0].payload.data()) + 16, 5), std::string("CAM\x81\0", 5));
}

// Hostile input, and the user at work meanwhile.

// The list the page must end up with, by the list rules.
struct ExpectedList {
  std::vector<pages::CameraRow> rows;
  std::unordered_map<std::string, std::size_t> rowOf;

  void deviceFound(const std::string& mac, const std::string& ip) {
    if (rowOf.emplace(mac, rows.size()).second) rows.push_back({mac, ip, "10.0.0.1"});
  }
  void ipChanged(const std::string& mac) {
    const auto found = rowOf.find(mac);
    if (found == rowOf.end()) return;
    rows[found->second].ip = "192.168.7.7";
    rows[found->second].gateway = "192.168.7.1";
  }
};

// One paced batch of the flood; its last answer is from a MAC not heard
// before, so that its row marks the batch as applied.
struct Batch {
  std::vector<Bytes> datagrams;
  std::size_t rowsAfter = 0;
  std::string lastMac;
};

// 100,000 answers from random MACs, some of them repeated, among set-IP
// replies for listed and unlisted MACs and one datagram of junk in five.
std::vector<Batch> floodPlan(std::size_t batchSize, ExpectedList& expected) {
  constexpr int kAnswers = 100000;
  testsupport::Random random(5414);
  std::vector<std::string> heard;
  std::vector<Batch> plan;
  for (int answers = 0; answers < kAnswers;) {
    Batch& batch = plan.emplace_back();
    while (batch.datagrams.size() + 1 < batchSize && answers < kAnswers) {
      const unsigned kind = random() % 100;
      if (kind < 20) {
        batch.datagrams.push_back(testsupport::junkDatagram(random));
      } else if (kind < 25 && !heard.empty()) {
        const std::string mac = random() % 2 ? heard[random() % heard.size()] : testsupport::randomMac(random);
        batch.datagrams.push_back(setIpReply(mac, {192, 168, 7, 7}, {192, 168, 7, 1}));
        expected.ipChanged(mac);
      } else {
        const std::string mac =
            kind < 35 && !heard.empty() ? heard[random() % heard.size()] : testsupport::randomMac(random);
        const std::string ip = "10.0." + std::to_string(plan.size() % 256) + "." + std::to_string(answers % 256);
        batch.datagrams.push_back(searchReply(mac, ip));
        expected.deviceFound(mac, ip);
        heard.push_back(mac);
        ++answers;
      }
    }
    batch.lastMac = "BATCH-" + std::to_string(plan.size());
    batch.datagrams.push_back(searchReply(batch.lastMac, "10.255.255.255"));
    expected.deviceFound(batch.lastMac, "10.255.255.255");
    batch.rowsAfter = expected.rows.size();
  }
  return plan;
}

TEST_F(CameraPageTest, AFloodOfAnswersAndJunkWhileTheUserWorks) {
  ExpectedList expected;
  const std::vector<Batch> plan = floodPlan(batchSize(), expected);
  const auto macShown = [&](int row) { return fromGbk(expected.rows[static_cast<std::size_t>(row)].mac); };
  int picks = 0;
  const long residentBefore = residentBytes();

  std::size_t rowsBefore = 0;
  for (std::size_t number = 0; number < plan.size(); ++number) {
    SCOPED_TRACE("batch " + std::to_string(number));
    const Batch& batch = plan[number];
    for (const Bytes& datagram : batch.datagrams) peer.sendToGroup(datagram);
    // While the batch is being taken in, the user double-clicks a listed
    // camera whose MAC shows otherwise than the MAC box does now.
    int pick = -1;
    for (int row = 0; row < static_cast<int>(std::min<std::size_t>(rowsBefore, 10)) && pick < 0; ++row)
      if ((row + number) % 3 == 0 && !macShown(row).isEmpty() && macShown(row) != box(kMac)) pick = row;
    if (pick >= 0) postDoubleClick(pick);
    const QString boxAfter = pick >= 0 ? macShown(pick) : box(kMac);
    ASSERT_TRUE(QTest::qWaitFor([&] { return applied(batch.rowsAfter, batch.lastMac) && box(kMac) == boxAfter; },
                                kWaitMs))
        << model().rowCount() << " rows of " << batch.rowsAfter << "; MAC box \"" << box(kMac).toStdString()
        << "\", expected \"" << boxAfter.toStdString() << "\"";
    picks += pick >= 0;
    rowsBefore = batch.rowsAfter;
  }
  const long residentAfter = residentBytes();

  ASSERT_EQ(model().rowCount(), static_cast<int>(expected.rows.size()));
  for (std::size_t row = 0; row < expected.rows.size(); ++row) {
    const pages::CameraRow shown = rowAt(static_cast<int>(row));
    ASSERT_TRUE(shown.mac == expected.rows[row].mac && shown.ip == expected.rows[row].ip &&
                shown.gateway == expected.rows[row].gateway)
        << "row " << row;
  }
  EXPECT_GE(picks, 10) << "the user hardly got to work";

  const double bytesPerRow = double(residentAfter - residentBefore) / double(expected.rows.size());
  std::printf("flood: %zu rows in %zu batches, %d picks; resident memory %+.0f bytes per row%s\n",
              expected.rows.size(), plan.size(), picks, bytesPerRow, kSanitized ? " (sanitized: not judged)" : "");
  if (!kSanitized) {
    EXPECT_LE(bytesPerRow, 1024.0);
  }
}

// Anyone can send empty datagrams: a stream of them beside a large burst of
// answers must not cost a single camera. Sent in batches the receive buffer
// holds, so that only the empty datagrams, not a slow machine, could lose one.
TEST_F(CameraPageTest, EmptyDatagramsAmongABurstOfTwentyThousandAnswersLoseNoCamera) {
  constexpr int kCameras = 20000;
  constexpr int kAnswersPerEmpty = 500;  // 40 empty datagrams in all
  const int batch = static_cast<int>(batchSize());
  for (int sent = 0; sent < kCameras;) {
    for (const int end = std::min(kCameras, sent + batch - 1); sent < end; ++sent) {
      if (sent % kAnswersPerEmpty == 0) peer.sendToGroup({});
      peer.sendToGroup(searchReply("CAM-" + std::to_string(sent)));
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return model().rowCount() == sent; }, kWaitMs))
        << model().rowCount() << " of the " << sent << " cameras sent so far listed";
  }
}

TEST_F(CameraPageTest, MacTextsThatAreNotGbkGetRowsOfTheirOwnAndAreShown) {
  const std::vector<std::string> macs = {"CAM", "CAM\x81", "\x81\x30", "\xFF\xFE\x80", std::string(20, '\xB0')};
  for (const std::string& mac : macs) peer.sendToGroup(searchReply(mac));
  peer.sendToGroup(searchReply("LAST"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return applied(macs.size() + 1, "LAST"); }, kWaitMs));
  for (std::size_t row = 0; row < macs.size(); ++row) {
    EXPECT_EQ(rowAt(static_cast<int>(row)).mac, macs[row]);
    EXPECT_FALSE(cell(static_cast<int>(row), 0).isEmpty()) << "row " << row;
  }
}

TEST(CameraPageLifetimeTest, APageDestroyedWhileAnswersPourInLeavesNothingBehind) {
  WirePeer peer;
  discovery::SystemNetwork network;
  for (int round = 0; round < 20; ++round) {
    FakePresenter messages;
    auto page = std::make_unique<CameraPage>(messages, network, nullptr);
    page->show();  // its channel opens once it is drawn
    ASSERT_TRUE(QTest::qWaitFor([&] { return page->page().channelOpened().has_value(); }, kWaitMs));
    // Each page gets the port: the one before closed its channel.
    ASSERT_TRUE(page->channel().multicast().isOpen()) << "round " << round << ": " << page->channel().multicast().openError();
    for (int i = 0; i < 200; ++i) peer.sendToGroup(searchReply("CAM-" + std::to_string(i), "10.0.0.5"));
    page.reset();  // queued hand-overs for the gone page must not run
    QCoreApplication::processEvents();
  }
}

TEST(CameraPageLifetimeTest, APageDestroyedWhileItsChannelOpensLeavesThePortToTheNext) {
  discovery::SystemNetwork network;
  FakePresenter messages;
  for (int round = 0; round < 20; ++round) {
    auto page = std::make_unique<CameraPage>(messages, network, nullptr);
    page->show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return page->page().channelOpening() || page->page().channelOpened().has_value(); }, kWaitMs));
    QTest::mouseClick(control(page.get(), kSearch), Qt::LeftButton);
    page.reset();  // the open is cancelled or over, and its outcome never runs
    QCoreApplication::processEvents();
  }
  CameraPage last(messages, network, nullptr);
  last.show();
  ASSERT_TRUE(QTest::qWaitFor([&] { return last.page().channelOpened().has_value(); }, kWaitMs));
  EXPECT_TRUE(last.channel().multicast().isOpen()) << last.channel().multicast().openError();
}

TEST(CameraPagePortTakenTest, WithThePortHeldElsewhereThePageShowsAndSendsNothing) {
  // Another program holds the discovery port, as the channel would.
  discovery::DatagramSocket other;
  ASSERT_TRUE(other.create() && other.bindAny(discovery::DISCOVERY_PORT)) << other.lastError();

  testsupport::WirePeer peer;
  ASSERT_TRUE(peer.ok());
  {
    testsupport::FakePresenter messages;
    discovery::SystemNetwork network;
    CameraPage page{messages, network, nullptr};
    page.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&page));
    ASSERT_TRUE(QTest::qWaitFor([&] { return page.page().channelOpened().has_value(); }, kWaitMs));
    EXPECT_FALSE(page.channel().multicast().isOpen());
    EXPECT_NE(page.channel().multicast().openError().find("bind"), std::string::npos) << page.channel().multicast().openError();
    QTest::mouseClick(control(&page, kSearch), Qt::LeftButton);
    QTest::mouseClick(control(&page, kApply), Qt::LeftButton);  // nothing picked
    EXPECT_TRUE(peer.sentByOthers().empty());
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(page.cameraModel().rowCount(), 0);
  }
}

}  // namespace
}  // namespace qtui
