// Apply beside a host that holds the new address and ignores every ping:
// the link layer still tells that the address is taken, and the warning
// names the MAC that answered for it before anything is sent.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QTest>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include "discovery/host_network.h"
#include "lab/camera_page_user.h"
#include "lab/outgoing_tap.h"
#include "qt/camera_page.h"
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

// Built with --squatter: TOVALEN_LAB_SQUATTER is "ADDRESS=MAC".
TEST(SquatterTest, ApplyToAnAddressAHostHoldsNamesItsMacAndSendsOnlyAfterOkAndTheConfirmation) {
  const char* squatter = std::getenv("TOVALEN_LAB_SQUATTER");
  ASSERT_NE(squatter, nullptr) << "the lab was built without its squatter";
  const std::string address(squatter, std::strchr(squatter, '='));
  const std::string mac(std::strchr(squatter, '=') + 1);

  testsupport::FakePresenter messages;
  discovery::SystemNetwork network;
  qtui::MainWindow window{messages, network};
  CameraPageUser user{*window.cameraPage()};
  ASSERT_NO_FATAL_FAILURE(showAndCheckChannel(window, *window.cameraPage()));
  user.click(kSearch);
  ASSERT_TRUE(user.awaitRows(kLabCameras.size()));
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

  // OK on the warning leads to the usual confirmation, and then the request.
  messages.shown.clear();
  messages.answer = qtui::MessageResult::Ok;
  user.click(kApply);
  ASSERT_TRUE(QTest::qWaitFor([&] { return messages.shown.size() == 2; }, kWaitMs));
  EXPECT_EQ(messages.shown[0].text, warning);
  EXPECT_EQ(messages.shown[1].text, QString::fromStdString(ui::strings::kConfirmChange));
  EXPECT_EQ(setIpRequestsIn(tap.sentSinceLastCall()), 1u);
}

}  // namespace
}  // namespace labtest
