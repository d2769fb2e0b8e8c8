// The product's reason to be, on the lab network: the window finds cameras in
// other subnets than the PC's and moves one into the PC's subnet, where the PC
// then reaches it by unicast.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeView>
#include <array>
#include <vector>

#include "lab/lab_network.h"
#include "ui/dialog_builder.h"
#include "ui/dlg_update_ip.h"
#include "ui/fake_presenter.h"
#include "ui/ip_address_edit.h"
#include "ui/main_dlg.h"

// Readable lists in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace labtest {
namespace {

using Row = std::array<QString, 3>;  // MAC, IP address, gateway
using testing::UnorderedElementsAreArray;

constexpr int kWaitMs = 20000;

// The cameras of the lab, each in a subnet of its own.
const std::vector<Row> kLabCameras{{"02:00:0A:00:00:05", "10.0.0.5", "10.0.0.1"},
                                   {"02:00:AC:10:05:14", "172.16.5.20", "172.16.5.1"},
                                   {"02:00:C0:A8:32:1E", "192.168.50.30", "192.168.50.1"}};
const Row& kMovedCamera = kLabCameras[0];

class ReaddressAcrossSubnetsTest : public testing::Test {
 protected:
  std::vector<Row> rows() const {
    std::vector<Row> shown;
    const QAbstractItemModel* model = list()->model();
    for (int row = 0; row < model->rowCount(); ++row)
      shown.push_back({model->index(row, 0).data().toString(), model->index(row, 1).data().toString(),
                       model->index(row, 2).data().toString()});
    return shown;
  }
  int rowOf(const QString& mac) const {
    const std::vector<Row> shown = rows();
    for (std::size_t row = 0; row < shown.size(); ++row)
      if (shown[row][0] == mac) return static_cast<int>(row);
    return -1;
  }
  QTreeView* list() const { return ui::control<QTreeView>(&page, 1009); }
  QString box(int id) const { return ui::control<QLineEdit>(&page, id)->text(); }
  QString addressControl(int id) const { return ui::control<ui::IpAddressEdit>(&page, id)->text(); }
  void click(int id) { QTest::mouseClick(ui::control<QPushButton>(&page, id), Qt::LeftButton); }
  // Saves what the window shows when the caller asked for it.
  void saveScreenshotIfAsked() {
    const QString path = qEnvironmentVariable("LAB_SCREENSHOT");
    if (path.isEmpty()) return;
    EXPECT_TRUE(window.grab().save(path)) << path.toStdString();
  }

  testsupport::FakePresenter messages;  // answers OK
  ui::CMainDlg window{messages};
  ui::CDlgUpdateIP& page = *window.cameraPage();
};

TEST_F(ReaddressAcrossSubnetsTest, FindsEveryCameraAndMovesOneIntoThePcsSubnet) {
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  ASSERT_TRUE(page.channel().isOpen()) << page.channel().openError();
  // Before: the PC's only way to 10.0.0.5 is a gateway nobody answers for.
  EXPECT_EQ(probeEcho(kMovedCamera[1].toStdString()), Reach::Unreachable);

  click(1018);  // 搜索摄像机
  EXPECT_TRUE(QTest::qWaitFor([&] { return rows().size() >= kLabCameras.size(); }, kWaitMs));
  ASSERT_THAT(rows(), UnorderedElementsAreArray(kLabCameras));

  const int row = rowOf(kMovedCamera[0]);
  const QPoint center = list()->visualRect(list()->model()->index(row, 0)).center();
  QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, center);
  QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, center);
  EXPECT_EQ(box(1001), kMovedCamera[0]);
  EXPECT_EQ(box(1002), kMovedCamera[1]);
  EXPECT_EQ(box(1003), kMovedCamera[2]);
  // The proposal comes from the PC's own gateway, 192.168.1.1.
  EXPECT_EQ(addressControl(1050), "192.168.1.241");
  EXPECT_EQ(addressControl(1051), "192.168.1.1");
  saveScreenshotIfAsked();

  click(1019);  // 确定修改该摄像机, then OK
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, "确定IP，网关都填写对了？\r\n修改IP吗？");
  const Row moved{kMovedCamera[0], "192.168.1.241", "192.168.1.1"};
  EXPECT_TRUE(QTest::qWaitFor([&] { return rows()[row] == moved; }, kWaitMs)) << rows()[row][1].toStdString();
  std::vector<Row> expected = kLabCameras;
  expected[0] = moved;
  EXPECT_THAT(rows(), UnorderedElementsAreArray(expected));

  // After: the camera really is in the PC's subnet.
  EXPECT_EQ(probeEcho("192.168.1.241"), Reach::Answered);
}

}  // namespace
}  // namespace labtest
