// The PC as an installer's laptop really is: a static address and no
// gateway, the cable plugged in after the program started, and the
// reverse-path filter some distributions switch on. Each runs in a lab of its
// own (tests/lab/CMakeLists.txt).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QTest>

#include "discovery/host_network.h"
#include "lab/camera_page_user.h"
#include "lab/lab_network.h"
#include "support/test_network_setup.h"
#include "qt/camera_page.h"
#include "qt/fake_presenter.h"
#include "qt/main_window.h"

namespace labtest {
namespace {

using namespace ui::ids::camera_page;
using testing::UnorderedElementsAreArray;

class LaptopTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_NO_FATAL_FAILURE(showAndCheckChannel(window, *window.cameraPage())); }

  // Searches and waits until the system has dropped `dropped` answers for
  // want of a route back to their sources and `listed` rows show.
  void searchAndSettle(std::uint64_t dropped, std::size_t listed) {
    const std::uint64_t before = reversePathDrops();
    user.click(kSearch);
    EXPECT_TRUE(QTest::qWaitFor([&] { return reversePathDrops() >= before + dropped; }, kWaitMs))
        << reversePathDrops() - before << " answers dropped";
    EXPECT_TRUE(user.awaitRows(listed));
  }

  testsupport::FakePresenter messages;  // answers OK
  discovery::SystemNetwork network;
  qtui::MainWindow window{messages, network};
  CameraPageUser user{*window.cameraPage()};
};

using NoGatewayTest = LaptopTest;

// Built with --no-gateway: 192.168.1.10/24 on eth0 and no default route.
TEST_F(NoGatewayTest, EveryCameraIsListedAndOneIsMovedIntoThePcsSubnet) {
  // Without a gateway there is nothing to propose.
  EXPECT_EQ(user.addressControl(kNewAddress), "0.0.0.0");
  user.click(kSearch);
  EXPECT_TRUE(user.awaitRows(kLabCameras.size()));
  ASSERT_THAT(user.rows(), UnorderedElementsAreArray(kLabCameras));

  const Row moved{kLabCameras[0][0], "192.168.1.241", "192.168.1.1"};
  const int row = user.rowOf(moved[0]);
  user.pick(moved[0]);
  user.enterAddress(kNewAddress, moved[1]);
  user.enterAddress(kNewGateway, moved[2]);
  user.click(kApply);  // and OK
  EXPECT_TRUE(QTest::qWaitFor([&] { return user.rows()[row] == moved; }, kWaitMs)) << user.rows()[row][1].toStdString();
  EXPECT_EQ(probeEcho(moved[1].toStdString()), Reach::Answered);
}

// Unplugged before the program starts: only loopback is left.
class CableInLateTest : public LaptopTest {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(runLabAction("unplug")); }
};

TEST_F(CableInLateTest, TheFirstSearchAfterThePlugListsEveryCamera) {
  ASSERT_TRUE(runLabAction("plug"));  // address and default route back, link up
  user.click(kSearch);
  EXPECT_TRUE(user.awaitRows(kLabCameras.size()));
  EXPECT_THAT(user.rows(), UnorderedElementsAreArray(kLabCameras));
}

// Built with --no-gateway. Loose filtering (2, the setting of Ubuntu and
// others) drops a datagram whose source no route leads back to, before any
// program sees it.
class ReversePathFilterTest : public LaptopTest {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(setReversePathFilter(2)); }
};

TEST_F(ReversePathFilterTest, WithoutARouteBackNoCameraIsFoundAndARouteOrNoFilterFindsThem) {
  searchAndSettle(kLabCameras.size(), 0);
  EXPECT_TRUE(user.rows().empty());

  // A route toward one camera's subnet lets that camera through.
  ASSERT_TRUE(testsupport::runCommand("ip route add 10.0.0.0/24 dev eth0"));
  searchAndSettle(kLabCameras.size() - 1, 1);
  EXPECT_EQ(user.rows(), std::vector<Row>{kLabCameras[0]});

  // No filter: every camera.
  ASSERT_TRUE(setReversePathFilter(0));
  user.click(kSearch);
  EXPECT_TRUE(user.awaitRows(kLabCameras.size()));
  EXPECT_THAT(user.rows(), UnorderedElementsAreArray(kLabCameras));
}

}  // namespace
}  // namespace labtest
