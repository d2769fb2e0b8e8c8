// Why the program searches through every adapter, on the lab built with
// --office: the PC's default route goes out through eth0 to an office network
// without cameras, and the cameras hang on eth1. The window finds and
// re-addresses them there; a page that searches through the adapter of the
// default route alone finds none. An adapter added while the window is open
// takes part from the next search on.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <net/if.h>

#include <QTest>

#include "discovery/channel.h"
#include "discovery/host_network.h"
#include "lab/camera_page_user.h"
#include "support/fixed_network.h"
#include "lab/lab_network.h"
#include "lab/outgoing_tap.h"
#include "qt/camera_page.h"
#include "qt/fake_presenter.h"
#include "qt/main_window.h"

namespace labtest {
namespace {

using namespace ui::ids::camera_page;

using testing::ElementsAre;
using testing::IsEmpty;
using testing::UnorderedElementsAreArray;

constexpr const char* kOfficeAdapter = "eth0";
const SentDatagram kSearchSent{16, discovery::kMulticastTtl};
const SentDatagram kSetIpSent{44, discovery::kMulticastTtl};

// Moved onto the network of the PC's eth1, where the PC reaches it by unicast.
const Row& kMovedCamera = kLabCameras[1];
const Row kMoved{kMovedCamera[0], "10.0.0.241", "10.0.0.1"};

std::vector<discovery::Adapter> onlyAdapter(const std::string& name) {
  auto adapters = discovery::SystemNetwork().adapters().value_or(std::vector<discovery::Adapter>{});
  std::erase_if(adapters, [&](const discovery::Adapter& adapter) { return adapter.name != name; });
  return adapters;
}

std::vector<QString> labMacs() {
  std::vector<QString> macs;
  for (const Row& camera : kLabCameras) macs.push_back(camera[0]);
  return macs;
}

class SeveralAdaptersTest : public testing::Test {
 protected:
  // The next test finds the PC as the lab built it.
  void TearDown() override {
    if (if_nametoindex(kCameraWire) == 0) {
      EXPECT_TRUE(runLabAction("plug"));
    }
  }

  testsupport::FakePresenter messages;  // answers OK
  discovery::SystemNetwork network;
};

TEST_F(SeveralAdaptersTest, TheWindowReachesTheCamerasBehindTheAdapterWithoutTheDefaultRoute) {
  OutgoingTap office(kOfficeAdapter), cameras(kCameraWire);
  ASSERT_TRUE(office.ok() && cameras.ok());
  {
    qtui::MainWindow window{messages, network};
    ASSERT_NO_FATAL_FAILURE(showAndCheckChannel(window, *window.cameraPage()));
    CameraPageUser user{*window.cameraPage()};

    user.click(kSearch);
    EXPECT_THAT(office.sentSinceLastCall(), ElementsAre(kSearchSent));
    EXPECT_THAT(cameras.sentSinceLastCall(), ElementsAre(kSearchSent));
    EXPECT_TRUE(user.awaitRows(kLabCameras.size()));
    ASSERT_THAT(user.rows(), UnorderedElementsAreArray(kLabCameras));

    user.pick(kMovedCamera[0]);
    EXPECT_EQ(user.box(kMac), kMovedCamera[0]);
    // The gateway rule reads the adapter listed last, eth1, which has no
    // gateway: nothing is proposed, so the user types the addresses.
    EXPECT_EQ(user.addressControl(kNewAddress), "0.0.0.0");
    EXPECT_EQ(user.addressControl(kNewGateway), "0.0.0.0");
    user.enterAddress(kNewAddress, kMoved[1]);
    user.enterAddress(kNewGateway, kMoved[2]);
    user.click(kApply);  // and OK, once the link has said the address is free
    ASSERT_TRUE(QTest::qWaitFor([&] { return messages.shown.size() == 1; }, kWaitMs));
    EXPECT_THAT(office.sentSinceLastCall(), ElementsAre(kSetIpSent));
    EXPECT_THAT(cameras.sentSinceLastCall(), ElementsAre(kSetIpSent));
    const int row = user.rowOf(kMoved[0]);
    EXPECT_TRUE(QTest::qWaitFor([&] { return user.rows()[row] == kMoved; }, kWaitMs))
        << user.rows()[row][1].toStdString();
    std::vector<Row> expected = kLabCameras;
    expected[1] = kMoved;
    EXPECT_THAT(user.rows(), UnorderedElementsAreArray(expected));
    EXPECT_EQ(probeEcho(kMoved[1].toStdString()), Reach::Answered);
  }

  // The window has closed its channel and freed the port. A page that knows
  // only the adapter with the default route, as a search along the routes
  // would go:
  testsupport::FixedNetwork officeOnly{onlyAdapter(kOfficeAdapter)};
  qtui::CameraPage restricted{messages, officeOnly, nullptr};
  ASSERT_NO_FATAL_FAILURE(showAndCheckChannel(restricted, restricted));
  CameraPageUser user{restricted};
  user.click(kSearch);
  // The search went into the office only: no camera was asked, none can answer.
  EXPECT_THAT(office.sentSinceLastCall(), ElementsAre(kSearchSent));
  EXPECT_THAT(cameras.sentSinceLastCall(), IsEmpty());
  EXPECT_THAT(user.rows(), IsEmpty());
}

TEST_F(SeveralAdaptersTest, AnAdapterAddedWhileTheWindowIsOpenTakesPartInTheNextSearch) {
  ASSERT_TRUE(runLabAction("unplug"));
  ASSERT_EQ(if_nametoindex(kCameraWire), 0u);
  OutgoingTap office(kOfficeAdapter);
  ASSERT_TRUE(office.ok());
  qtui::MainWindow window{messages, network};
  ASSERT_NO_FATAL_FAILURE(showAndCheckChannel(window, *window.cameraPage()));
  CameraPageUser user{*window.cameraPage()};

  user.click(kSearch);
  EXPECT_THAT(office.sentSinceLastCall(), ElementsAre(kSearchSent));
  EXPECT_THAT(user.rows(), IsEmpty());

  ASSERT_TRUE(runLabAction("plug"));  // returns once its link is up
  OutgoingTap cameras(kCameraWire);
  ASSERT_TRUE(cameras.ok());
  user.click(kSearch);
  EXPECT_THAT(office.sentSinceLastCall(), ElementsAre(kSearchSent));
  EXPECT_THAT(cameras.sentSinceLastCall(), ElementsAre(kSearchSent));
  EXPECT_TRUE(user.awaitRows(kLabCameras.size()));
  EXPECT_THAT(user.macs(), UnorderedElementsAreArray(labMacs()));
}

}  // namespace
}  // namespace labtest
