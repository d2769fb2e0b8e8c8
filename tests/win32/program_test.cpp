// The real tovalen.exe under Wine beside the cameras of tools/lab/tovalen-try,
// driven from this process through its windows' messages, as a user drives
// it: it finds the three cameras in their three subnets and moves one into
// the PC's subnet; the calculator; one copy per session.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "discovery/protocol.h"
#include "support/lab_cameras.h"
#include "support/wire_peer.h"
#include "res/resource_ids.h"
#include "res/strings.h"
#include "win32/program_driver.h"
#include "win32/text.h"

namespace win32test {
namespace {

using testing::ElementsAre;
using testing::UnorderedElementsAreArray;
using Rows = std::vector<std::vector<std::wstring>>;
namespace camera_page = ui::ids::camera_page;
namespace calc_page = ui::ids::calc_page;

std::wstring wide(const char* text) { return win32::fromUtf8(text); }

// An address control's value of a dotted address.
DWORD valueOf(const char* dotted) {
  const discovery::Ipv4Bytes address = discovery::parseAddress(dotted).value_or(discovery::Ipv4Bytes{});
  return MAKEIPADDRESS(address[0], address[1], address[2], address[3]);
}

Rows labRows() {
  Rows rows;
  for (const auto& camera : testsupport::kLabCameraTexts)
    rows.push_back({wide(camera.mac), wide(camera.ip), wide(camera.gateway)});
  return rows;
}

// Saves what the display shows at this point, when run-under-wine.sh was
// asked for a screenshot: it takes the picture once the ready file exists
// and then makes the done file.
void offerScreenshot() {
  const char* ready = std::getenv("TOVALEN_SCREENSHOT_READY");
  const char* done = std::getenv("TOVALEN_SCREENSHOT_DONE");
  if (!ready || !done) return;
  std::FILE* marker = _wfopen(windowsPath(ready).c_str(), L"w");
  ASSERT_TRUE(marker);
  std::fclose(marker);
  EXPECT_TRUE(waitFor([&] { return std::filesystem::exists(windowsPath(done)); })) << "no screenshot was taken";
}

class ProgramTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(program.started()) << "cannot start " << win32::toUtf8(programPath());
    ASSERT_TRUE(waitFor([&] { return (mainWindow = findDialog(program.id(), L"Tovalen")) != nullptr; }));
    cameraPage = pageHolding(camera_page::kSearch.value, camera_page::kCameraList.value);
    calcPage = pageHolding(calc_page::kCalculate.value, calc_page::kGigabytes.value);
    ASSERT_TRUE(cameraPage && calcPage);
  }
  void TearDown() override {
    if (!mainWindow || !IsWindow(mainWindow)) return;
    pressKey(mainWindow, VK_ESCAPE);
    EXPECT_EQ(program.exitCode(), 0u) << "Esc ends the program with status 0";
  }

  // The main window's child dialog that has both controls.
  HWND pageHolding(int control, int other) const {
    for (HWND child = GetWindow(mainWindow, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
      if (className(child) == L"#32770" && GetDlgItem(child, control) && GetDlgItem(child, other)) return child;
    return nullptr;
  }
  HWND control(HWND page, int id) const { return GetDlgItem(page, id); }
  std::wstring text(HWND page, int id) const { return windowText(control(page, id)); }
  RemoteList list() const { return {program.handle(), control(cameraPage, camera_page::kCameraList.value)}; }
  // The message box the program shows over its main window.
  HWND awaitNotice() const {
    HWND box = nullptr;
    waitFor([&] { return (box = findDialog(program.id(), wide(ui::strings::kNoticeCaption), mainWindow)) != nullptr; });
    return box;
  }
  void pressOk(HWND box) const { click(GetDlgItem(box, IDOK)); }
  void showCalculator() const {
    SendMessageW(GetDlgItem(mainWindow, ui::ids::main_window::kTabs.value), TCM_SETCURFOCUS, 1, 0);
  }

  ProgramProcess program{programPath()};
  HWND mainWindow = nullptr;
  HWND cameraPage = nullptr;
  HWND calcPage = nullptr;
};

TEST_F(ProgramTest, FindsTheCamerasInOtherSubnetsAndMovesOneIntoThePcsSubnet) {
  testsupport::WirePeer wire;
  ASSERT_TRUE(wire.ok()) << "the raw socket capture needs root";
  const Rows cameras = labRows();
  // The proposal comes from the PC's own gateway, in the address controls' fields.
  EXPECT_EQ(addressValue(program.handle(), control(cameraPage, camera_page::kNewAddress.value)),
            valueOf(testsupport::kLabProposedAddress));
  EXPECT_EQ(addressValue(program.handle(), control(cameraPage, camera_page::kNewGateway.value)),
            valueOf(testsupport::kLabPcGateway));

  click(control(cameraPage, camera_page::kSearch.value));  // 搜索摄像机
  ASSERT_TRUE(waitFor([&] { return list().rowCount() == 3; })) << list().rowCount() << " rows";
  const Rows listed = list().rows();
  ASSERT_THAT(listed, UnorderedElementsAreArray(cameras));

  // Two rows selected, the double-click lands on neither: the first selected is picked.
  const int moving = static_cast<int>(std::find(listed.begin(), listed.end(), cameras[0]) - listed.begin());
  const int other = moving == 2 ? 1 : 2;
  list().select(moving, true);
  list().select(other, true);
  list().doubleClickBelowTheRows();
  const std::vector<std::wstring>& picked = listed[std::min(moving, other)];
  ASSERT_TRUE(waitFor([&] { return text(cameraPage, camera_page::kMac.value) == picked[0]; }));
  EXPECT_EQ(text(cameraPage, camera_page::kIp.value), picked[1]);
  EXPECT_EQ(text(cameraPage, camera_page::kGateway.value), picked[2]);
  list().select(other, false);
  list().doubleClickBelowTheRows();
  ASSERT_TRUE(waitFor([&] { return text(cameraPage, camera_page::kMac.value) == cameras[0][0]; }));
  EXPECT_EQ(text(cameraPage, camera_page::kIp.value), cameras[0][1]);
  EXPECT_EQ(text(cameraPage, camera_page::kGateway.value), cameras[0][2]);
  offerScreenshot();
  wire.sentByOthers();  // what went before

  click(control(cameraPage, camera_page::kApply.value));  // 确定修改该摄像机
  const HWND confirm = awaitNotice();
  ASSERT_TRUE(confirm);
  EXPECT_THAT(staticTexts(confirm), ElementsAre(wide(ui::strings::kConfirmChange)));
  pressOk(confirm);

  const std::vector<std::wstring> moved{cameras[0][0], wide(testsupport::kLabProposedAddress),
                                        wide(testsupport::kLabPcGateway)};
  EXPECT_TRUE(waitFor([&] { return list().cell(moving, 1) == moved[1]; })) << win32::toUtf8(list().cell(moving, 1));
  Rows expected = cameras;
  expected[0] = moved;
  EXPECT_THAT(list().rows(), UnorderedElementsAreArray(expected));
  // The boxes keep what was picked.
  EXPECT_EQ(text(cameraPage, camera_page::kIp.value), cameras[0][1]);

  // Exactly one set-IP request left, 16 bytes of header and 28 of record.
  std::vector<testsupport::WireDatagram> setIp;
  for (auto& datagram : wire.sentByOthers())
    if (discovery::commandOf(datagram.payload) == discovery::CMD_SET_IP) setIp.push_back(std::move(datagram));
  ASSERT_EQ(setIp.size(), 1u);
  EXPECT_EQ(setIp[0].payload.size(), 44u);
  const auto request = discovery::decodeSetIpRequest(setIp[0].payload);
  ASSERT_TRUE(request);
  EXPECT_EQ(request->mac.text(), testsupport::kLabCameraTexts[0].mac);
  EXPECT_EQ(discovery::formatAddress(request->newAddress), testsupport::kLabProposedAddress);
  EXPECT_EQ(discovery::formatAddress(request->newGateway), testsupport::kLabPcGateway);
}

TEST_F(ProgramTest, CalculatorGivesTheFiguresOfTheDefaultsAndNamesTheFirstBadInput) {
  showCalculator();
  ASSERT_TRUE(waitFor([&] { return IsWindowVisible(calcPage) && !IsWindowVisible(cameraPage); }));
  click(control(calcPage, calc_page::kCalculate.value));
  ASSERT_TRUE(waitFor([&] { return text(calcPage, calc_page::kGigabytes.value) == L"9887"; }))
      << win32::toUtf8(text(calcPage, calc_page::kGigabytes.value));
  EXPECT_EQ(text(calcPage, calc_page::kTerabytes.value), L"9.89");

  SendMessageW(control(calcPage, calc_page::kCameras.value), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"16路"));
  SendMessageW(control(calcPage, calc_page::kDays.value), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"x"));
  click(control(calcPage, calc_page::kCalculate.value));
  const HWND complaint = awaitNotice();
  ASSERT_TRUE(complaint);
  EXPECT_THAT(staticTexts(complaint), ElementsAre(wide(ui::strings::invalidInput(2).c_str())));
  pressOk(complaint);
  ASSERT_TRUE(waitFor([&] { return !IsWindow(complaint); }));
  EXPECT_EQ(text(calcPage, calc_page::kGigabytes.value), L"");
  EXPECT_EQ(text(calcPage, calc_page::kTerabytes.value), L"");
}

TEST_F(ProgramTest, EnterInACalculatorInputCalculatesAndLeavesTheWindowOpen) {
  showCalculator();
  const HWND hours = control(calcPage, calc_page::kHoursPerDay.value);
  SendMessageW(hours, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"12"));
  clickAt(hours, 5, 5);  // the input takes the focus
  GUITHREADINFO thread{};
  thread.cbSize = sizeof thread;
  ASSERT_TRUE(waitFor([&] {
    return GetGUIThreadInfo(GetWindowThreadProcessId(mainWindow, nullptr), &thread) && thread.hwndFocus == hours;
  }));
  pressKey(mainWindow, VK_RETURN);
  EXPECT_TRUE(waitFor([&] { return text(calcPage, calc_page::kGigabytes.value) == L"4943"; }))
      << win32::toUtf8(text(calcPage, calc_page::kGigabytes.value));
  EXPECT_TRUE(IsWindow(mainWindow));
  EXPECT_FALSE(program.exitCode(0ms));
}

TEST_F(ProgramTest, ASecondCopySaysTheFirstRunsAndEndsOnOkWhileTheFirstKeepsRunning) {
  ProgramProcess second(programPath());
  ASSERT_TRUE(second.started());
  // The copy's box has no owner; its caption is the program's name.
  HWND box = nullptr;
  ASSERT_TRUE(waitFor([&] { return (box = findDialog(second.id(), L"tovalen")) != nullptr; }));
  EXPECT_THAT(staticTexts(box), ElementsAre(wide(ui::strings::kAlreadyRunning)));
  EXPECT_FALSE(second.exitCode(0ms)) << "the copy waits for OK";
  pressOk(box);
  const auto status = second.exitCode();
  ASSERT_TRUE(status);
  EXPECT_NE(*status, 0u);
  EXPECT_EQ(findDialog(second.id(), L"Tovalen"), nullptr) << "the copy opened no main window";

  // The first copy still answers.
  EXPECT_FALSE(program.exitCode(0ms));
  EXPECT_EQ(windowText(mainWindow), L"Tovalen");
}

TEST_F(ProgramTest, TheSystemMenusAboutEntryOpensTheAboutBoxAndCloseEndsTheProgramWithStatusZero) {
  PostMessageW(mainWindow, WM_SYSCOMMAND, ui::ids::kAboutCommand, 0);
  HWND about = nullptr;
  ASSERT_TRUE(waitFor([&] { return (about = findDialog(program.id(), L"关于 Tovalen", mainWindow)) != nullptr; }));
  EXPECT_THAT(staticTexts(about), ElementsAre(L"Tovalen Version 1.0", L"摄像机跨网段修改IP与硬盘计算工具"));
  pressOk(about);
  ASSERT_TRUE(waitFor([&] { return !IsWindow(about); }));

  click(GetDlgItem(mainWindow, ui::ids::main_window::kClose.value));
  EXPECT_EQ(program.exitCode(), 0u);
}

}  // namespace
}  // namespace win32test
