// The product's reason to be, on the lab network: the window finds cameras in
// other subnets than the PC's and moves one into the PC's subnet, where the PC
// then reaches it by unicast.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QDialog>
#include <QPushButton>
#include <QTest>

#include "discovery/host_network.h"
#include "lab/camera_page_user.h"
#include "lab/lab_network.h"
#include "qt/camera_page.h"
#include "qt/dialog_builder.h"
#include "qt/ip_address_edit.h"
#include "qt/fake_presenter.h"
#include "qt/main_window.h"

namespace labtest {
namespace {

using namespace ui::ids::camera_page;

using testing::UnorderedElementsAreArray;

const Row& kMovedCamera = kLabCameras[0];

class ReaddressAcrossSubnetsTest : public testing::Test {
 protected:
  // Saves what the window shows when the caller asked for it.
  void saveScreenshotIfAsked() {
    const QString path = qEnvironmentVariable("LAB_SCREENSHOT");
    if (path.isEmpty()) return;
    EXPECT_TRUE(window.grab().save(path)) << path.toStdString();
  }

  testsupport::FakePresenter messages;  // answers OK
  discovery::SystemNetwork network;
  qtui::MainWindow window{messages, network};
  CameraPageUser user{*window.cameraPage()};
};

TEST_F(ReaddressAcrossSubnetsTest, FindsEveryCameraAndMovesOneIntoThePcsSubnet) {
  ASSERT_NO_FATAL_FAILURE(showAndCheckChannel(window, *window.cameraPage()));
  // Before: the PC's only way to 10.0.0.5 is a gateway nobody answers for.
  EXPECT_EQ(probeEcho(kMovedCamera[1].toStdString()), Reach::Unreachable);

  user.click(kSearch);  // 搜索摄像机
  EXPECT_TRUE(user.awaitRows(kLabCameras.size()));
  ASSERT_THAT(user.rows(), UnorderedElementsAreArray(kLabCameras));

  const int row = user.rowOf(kMovedCamera[0]);
  user.pick(kMovedCamera[0]);
  EXPECT_EQ(user.box(kMac), kMovedCamera[0]);
  EXPECT_EQ(user.box(kIp), kMovedCamera[1]);
  EXPECT_EQ(user.box(kGateway), kMovedCamera[2]);
  // The proposal comes from the PC's own gateway, 192.168.1.1.
  EXPECT_EQ(user.addressControl(kNewAddress), "192.168.1.241");
  EXPECT_EQ(user.addressControl(kNewGateway), "192.168.1.1");
  saveScreenshotIfAsked();

  user.click(kApply);  // 确定修改该摄像机, then OK, once the link has said the address is free
  EXPECT_FALSE(qtui::control(window.cameraPage(), kApply)->isEnabled()) << "the page shows that it is checking";
  ASSERT_TRUE(QTest::qWaitFor([&] { return messages.shown.size() == 1; }, kWaitMs));
  EXPECT_TRUE(qtui::control(window.cameraPage(), kApply)->isEnabled());
  EXPECT_EQ(messages.shown[0].text, "确定IP，网关都填写对了？\r\n修改IP吗？");
  const Row moved{kMovedCamera[0], "192.168.1.241", "192.168.1.1"};
  EXPECT_TRUE(QTest::qWaitFor([&] { return user.rows()[row] == moved; }, kWaitMs))
      << user.rows()[row][1].toStdString();
  std::vector<Row> expected = kLabCameras;
  expected[0] = moved;
  EXPECT_THAT(user.rows(), UnorderedElementsAreArray(expected));

  // After: the camera really is in the PC's subnet.
  EXPECT_EQ(probeEcho("192.168.1.241"), Reach::Answered);
}

TEST_F(ReaddressAcrossSubnetsTest, MovesEverySelectedCameraIntoThePcsSubnetAtOnce) {
  ASSERT_NO_FATAL_FAILURE(showAndCheckChannel(window, *window.cameraPage()));
  user.click(kSearch);
  ASSERT_TRUE(user.awaitRows(kLabCameras.size()));
  const std::vector<QString> macs = user.macs();

  messages.onDialog = [](QDialog& dialog) {
    qtui::control(&dialog, ui::ids::batch_dialog::kStart)->setText("192.168.1.100");
    // OK waits until the link has answered for every planned address.
    QPushButton* ok = qtui::control(&dialog, ui::ids::batch_dialog::kOk);
    EXPECT_TRUE(QTest::qWaitFor([&] { return ok->isEnabled(); }, kWaitMs));
    QTest::mouseClick(ok, Qt::LeftButton);
  };
  user.selectAllAndRunListMenuEntry("批量修改IP…");
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, "将修改 3 台摄像机的IP：\r\n192.168.1.100 至 192.168.1.102\r\n确定修改吗？");

  // In list order, whatever addresses the cameras had; each answers from its new one.
  std::vector<Row> expected;
  for (std::size_t row = 0; row < macs.size(); ++row)
    expected.push_back({macs[row], QStringLiteral("192.168.1.%1").arg(100 + row), "192.168.1.1"});
  EXPECT_TRUE(QTest::qWaitFor([&] { return user.rows() == expected; }, kWaitMs));
  for (const Row& moved : expected) EXPECT_EQ(probeEcho(moved[1].toStdString()), Reach::Answered) << moved[1].toStdString();
}

}  // namespace
}  // namespace labtest
