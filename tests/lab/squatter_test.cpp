// Apply and the batch beside hosts that hold addresses and ignore every
// ping: the link layer still tells that an address is taken. Apply's warning
// names the MAC that answered before anything is sent; the batch passes over
// those addresses, says why in its preview, and afterwards tells the cameras
// found at their new address from those that only claim it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QDialog>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <algorithm>
#include <cstdlib>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "discovery/host_network.h"
#include "lab/camera_page_user.h"
#include "lab/outgoing_tap.h"
#include "qt/camera_page.h"
#include "qt/dialog_builder.h"
#include "qt/ip_address_edit.h"
#include "qt/fake_presenter.h"
#include "qt/main_window.h"
#include "res/strings.h"

namespace labtest {
namespace {

using namespace ui::ids::camera_page;

// A set-IP request: 16 bytes of header and 28 of record.
constexpr std::size_t kSetIpSize = 44;

std::size_t setIpRequestsIn(const std::vector<SentDatagram>& sent) {
  return static_cast<std::size_t>(
      std::count_if(sent.begin(), sent.end(), [](const SentDatagram& datagram) { return datagram.size == kSetIpSize; }));
}

// The lab's squatters, from TOVALEN_LAB_SQUATTERS ("ADDRESS=MAC ...").
std::vector<std::pair<std::string, std::string>> squatters() {
  std::vector<std::pair<std::string, std::string>> listed;
  std::istringstream entries(std::getenv("TOVALEN_LAB_SQUATTERS") ? std::getenv("TOVALEN_LAB_SQUATTERS") : "");
  std::string entry;
  while (entries >> entry) listed.emplace_back(entry.substr(0, entry.find('=')), entry.substr(entry.find('=') + 1));
  return listed;
}

// Built with --crowd 20 and squatters at 192.168.1.103, .107 and .111.
class SquatterTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(squatters().size(), 3u) << "the lab was built without its squatters";
    ASSERT_NO_FATAL_FAILURE(showAndCheckChannel(window, *window.cameraPage()));
    user.click(kSearch);
    ASSERT_TRUE(user.awaitRows(kCameras));
  }

  static constexpr std::size_t kCameras = 23;  // the lab's three and the crowd's 20
  testsupport::FakePresenter messages;
  discovery::SystemNetwork network;
  qtui::MainWindow window{messages, network};
  CameraPageUser user{*window.cameraPage()};
};

TEST_F(SquatterTest, ApplyToAnAddressAHostHoldsNamesItsMacBeforeTheConfirmationAndCancelSendsNothing) {
  const auto [address, mac] = squatters()[0];
  user.pick(kLabCameras[0][0]);
  user.enterAddress(kNewAddress, QString::fromStdString(address));
  OutgoingTap tap("eth0");
  ASSERT_TRUE(tap.ok()) << "the capture needs CAP_NET_RAW";
  tap.sentSinceLastCall();

  const QString warning = QString::fromStdString(ui::strings::addressAnsweredOnTheLink(address, mac));
  messages.answer = qtui::MessageResult::Cancel;
  user.click(kApply);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !messages.shown.empty(); }, kWaitMs));
  EXPECT_EQ(messages.shown[0].text, warning);
  EXPECT_EQ(messages.shown.size(), 1u) << "Cancel ends it: no confirmation";
  EXPECT_EQ(setIpRequestsIn(tap.sentSinceLastCall()), 0u);

  // OK on the warning leads to the usual confirmation; Cancel there too
  // sends nothing (and leaves the lab as it was for the batch).
  messages.shown.clear();
  messages.answers = {qtui::MessageResult::Ok, qtui::MessageResult::Cancel};
  user.click(kApply);
  ASSERT_TRUE(QTest::qWaitFor([&] { return messages.shown.size() == 2; }, kWaitMs));
  EXPECT_EQ(messages.shown[0].text, warning);
  EXPECT_EQ(messages.shown[1].text, QString::fromStdString(ui::strings::kConfirmChange));
  EXPECT_EQ(setIpRequestsIn(tap.sentSinceLastCall()), 0u);
}

TEST_F(SquatterTest, TheBatchPassesOverTheSquattedAddressesAndTellsTheCamerasReachedFromThoseThatOnlyClaimIt) {
  QString passedOver;
  messages.onDialog = [&](QDialog& dialog) {
    qtui::control(&dialog, ui::ids::batch_dialog::kStart)->setText("192.168.1.100");
    QPushButton* ok = qtui::control(&dialog, ui::ids::batch_dialog::kOk);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ok->isEnabled(); }, kWaitMs)) << "every planned address checked";
    // The row planned .104 says why .103 was passed over.
    const QAbstractItemModel* preview = qtui::control(&dialog, ui::ids::batch_dialog::kPreview)->model();
    for (int row = 0; row < preview->rowCount(); ++row)
      if (preview->index(row, 2).data().toString() == "192.168.1.104") passedOver = preview->index(row, 3).data().toString();
    QTest::mouseClick(ok, Qt::LeftButton);
  };
  user.selectAllAndRunListMenuEntry("批量修改IP…");
  EXPECT_THAT(passedOver.toStdString(), testing::HasSubstr(ui::strings::addressPassedOver("192.168.1.103", squatters()[0].second)));
  ASSERT_GE(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text,
            QString::fromStdString(ui::strings::batchConfirm(kCameras, "192.168.1.100", "192.168.1.125")));

  // Every camera answers from its new address, none from a squatter's.
  std::set<QString> expected;
  for (int host = 100; host <= 125; ++host)
    if (host != 103 && host != 107 && host != 111) expected.insert(QStringLiteral("192.168.1.%1").arg(host));
  const auto addresses = [&] {
    std::set<QString> shown;
    for (const Row& row : user.rows()) shown.insert(row[1]);
    return shown;
  };
  EXPECT_TRUE(QTest::qWaitFor([&] { return addresses() == expected; }, kWaitMs));

  // The lab's cameras moved their adapters and answer there; the crowd's
  // 20 only claim their new addresses, where no host answers.
  ASSERT_TRUE(QTest::qWaitFor([&] { return messages.shown.size() == 2; }, kWaitMs));
  const std::string notice = messages.shown[1].text.toStdString();
  EXPECT_THAT(notice, testing::StartsWith(ui::strings::batchReached(3)));
  EXPECT_THAT(notice, testing::HasSubstr("以下摄像机已改为新IP，但从本机访问不到："));
  EXPECT_THAT(notice, testing::HasSubstr(ui::strings::andMoreCameras(10)));
  EXPECT_THAT(notice, testing::Not(testing::HasSubstr("没有应答")));
}

}  // namespace
}  // namespace labtest
