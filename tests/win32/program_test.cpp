// The real tovalen.exe under Wine beside the cameras of tools/lab/tovalen-try,
// driven from this process through its windows' messages, as a user drives
// it: it finds the three cameras in their three subnets and moves one into
// the PC's subnet, then all of them by the batch and by a site plan; the
// network check; the calculator; one copy per session.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "discovery/protocol.h"
#include "support/lab_cameras.h"
#include "support/wire_peer.h"
#include "res/dialog_templates.h"
#include "res/resource_ids.h"
#include "res/strings.h"
#include "win32/program_driver.h"
#include "win32/text.h"

namespace win32test {
namespace {

using testing::ElementsAre;
using testing::IsEmpty;
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

// The dialogs' face and the screen's DPI the program starts with; a null
// face or a DPI of 0 keeps the prefix's own (WenQuanYi Micro Hei, 96).
struct Look {
  const wchar_t* face = nullptr;
  int dpi = 0;
};

void PrintTo(const Look& look, std::ostream* out) {
  *out << (look.face ? win32::toUtf8(look.face) : "the prefix's face") << " at " << look.dpi << " DPI";
}

// A registry value set for a test's length, then put back as it was.
class ScopedRegistryValue {
 public:
  ScopedRegistryValue(HKEY root, const wchar_t* key, const wchar_t* name, DWORD type, const void* data, DWORD size)
      : name_(name) {
    if (RegCreateKeyExW(root, key, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key_, nullptr) !=
        ERROR_SUCCESS)
      return;
    DWORD oldSize = 0;
    existed_ = RegQueryValueExW(key_, name, nullptr, &type_, nullptr, &oldSize) == ERROR_SUCCESS;
    old_.resize(oldSize);
    if (existed_) RegQueryValueExW(key_, name, nullptr, &type_, old_.data(), &oldSize);
    RegSetValueExW(key_, name, 0, type, static_cast<const BYTE*>(data), size);
  }
  ~ScopedRegistryValue() {
    if (!key_) return;
    if (existed_) RegSetValueExW(key_, name_.c_str(), 0, type_, old_.data(), static_cast<DWORD>(old_.size()));
    else RegDeleteValueW(key_, name_.c_str());
    RegCloseKey(key_);
  }
  ScopedRegistryValue(const ScopedRegistryValue&) = delete;
  ScopedRegistryValue& operator=(const ScopedRegistryValue&) = delete;

 private:
  HKEY key_ = nullptr;
  std::wstring name_;
  bool existed_ = false;
  DWORD type_ = REG_NONE;
  std::vector<BYTE> old_;
};

// A look set in the prefix, for programs started while this lives: Wine
// reads both when a program starts.
class LookSetting {
 public:
  explicit LookSetting(const Look& look) {
    if (look.face) {
      const DWORD size = static_cast<DWORD>((std::wcslen(look.face) + 1) * sizeof(wchar_t));
      for (const wchar_t* dialogFace : {L"MS Shell Dlg", L"MS Shell Dlg 2"})
        values_.push_back(std::make_unique<ScopedRegistryValue>(
            HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes", dialogFace,
            REG_SZ, look.face, size));
    }
    if (look.dpi) {
      const DWORD dpi = static_cast<DWORD>(look.dpi);
      values_.push_back(std::make_unique<ScopedRegistryValue>(HKEY_CURRENT_USER, L"Control Panel\\Desktop",
                                                              L"LogPixels", REG_DWORD, &dpi, sizeof dpi));
    }
  }

 private:
  std::vector<std::unique_ptr<ScopedRegistryValue>> values_;
};

bool contains(const RECT& outer, const RECT& inner) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

std::string describe(const char* what, const RECT& rect) {
  return std::string(what) + " " + std::to_string(rect.left) + "," + std::to_string(rect.top) + "-" +
         std::to_string(rect.right) + "," + std::to_string(rect.bottom);
}

RECT screenClientRect(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
  return client;
}

RECT screenRect(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect;
}

class ProgramTest : public testing::Test {
 protected:
  explicit ProgramTest(const Look& look = {}) : look_(look) {}

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
  HWND tabs() const { return GetDlgItem(mainWindow, ui::ids::main_window::kTabs.value); }
  void showPage(int index) const { SendMessageW(tabs(), TCM_SETCURFOCUS, index, 0); }
  void showCalculator() const { showPage(1); }
  int columnWidth(int column) const {
    return static_cast<int>(SendMessageW(control(cameraPage, camera_page::kCameraList.value), LVM_GETCOLUMNWIDTH,
                                         static_cast<WPARAM>(column), 0));
  }

  // What is not wholly shown: a visible control reaching beyond its page, a
  // page beyond the tab control's display area, the tab control beyond the
  // window or over the Close button.
  std::vector<std::string> clipped() const {
    std::vector<std::string> faults;
    const RECT window = screenClientRect(mainWindow);
    const RECT tabArea = tabDisplayArea(program.handle(), tabs());
    const RECT close = screenRect(GetDlgItem(mainWindow, ui::ids::main_window::kClose.value));
    RECT overlap{};
    if (!contains(window, screenRect(tabs())) || !contains(window, close) ||
        IntersectRect(&overlap, &close, &tabArea))
      faults.push_back(describe("tabs", screenRect(tabs())) + " " + describe("close", close) + " in " +
                       describe("window", window));
    for (const HWND page : {cameraPage, calcPage}) {
      showPage(page == cameraPage ? 0 : 1);
      waitFor([&] { return IsWindowVisible(page); });
      const RECT pageArea = screenClientRect(page);
      if (!contains(tabArea, pageArea)) faults.push_back(describe("page", pageArea) + " in " + describe("tabs", tabArea));
      for (HWND child = GetWindow(page, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (IsWindowVisible(child) && !contains(pageArea, screenRect(child)))
          faults.push_back(describe(win32::toUtf8(className(child) + L" " + windowText(child)).c_str(), screenRect(child)) +
                           " in " + describe("page", pageArea));
    }
    showPage(0);
    return faults;
  }

  LookSetting look_;
  ProgramProcess program{programPath()};
  HWND mainWindow = nullptr;
  HWND cameraPage = nullptr;
  HWND calcPage = nullptr;
};

TEST_F(ProgramTest, FindsTheCamerasInOtherSubnetsAndMovesOneIntoThePcsSubnet) {
  testsupport::WirePeer wire;
  ASSERT_TRUE(wire.ok()) << "the raw socket capture needs root";
  const Rows cameras = labRows();
  // The proposal comes from the PC's own gateway, in the address controls'
  // fields, once it is read behind the window.
  EXPECT_TRUE(waitFor([&] {
    return addressValue(program.handle(), control(cameraPage, camera_page::kNewAddress.value)) ==
               valueOf(testsupport::kLabProposedAddress) &&
           addressValue(program.handle(), control(cameraPage, camera_page::kNewGateway.value)) ==
               valueOf(testsupport::kLabPcGateway);
  })) << "the proposal from the PC's gateway";

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

TEST_F(ProgramTest, BatchReaddressingMovesEverySelectedCameraAndApplyWarnsBeforeAnAddressIsGivenTwice) {
  testsupport::WirePeer wire;
  ASSERT_TRUE(wire.ok()) << "the raw socket capture needs root";
  click(control(cameraPage, camera_page::kSearch.value));
  ASSERT_TRUE(waitFor([&] { return list().rowCount() == 3; })) << list().rowCount() << " rows";
  const Rows listed = list().rows();

  // Apply to an address another camera has: the warning first; Cancel sends nothing.
  list().select(0, true);
  list().doubleClickBelowTheRows();
  ASSERT_TRUE(waitFor([&] { return text(cameraPage, camera_page::kMac.value) == listed[0][0]; }));
  SendMessageW(control(cameraPage, camera_page::kNewAddress.value), IPM_SETADDRESS, 0,
               static_cast<LPARAM>(valueOf(win32::toUtf8(listed[1][1]).c_str())));
  wire.sentByOthers();
  click(control(cameraPage, camera_page::kApply.value));
  const HWND warning = awaitNotice();
  ASSERT_TRUE(warning);
  EXPECT_THAT(staticTexts(warning), ElementsAre(wide(ui::strings::addressListed(win32::toUtf8(listed[1][1]),
                                                                               win32::toUtf8(listed[1][0])).c_str())));
  click(GetDlgItem(warning, IDCANCEL));
  ASSERT_TRUE(waitFor([&] { return !IsWindow(warning); }));

  // Every row selected, then the batch from 192.168.1.100.
  PostMessageW(cameraPage, WM_COMMAND, camera_page::kSelectAllCommand, 0);
  PostMessageW(cameraPage, WM_COMMAND, camera_page::kBatchCommand, 0);
  HWND batch = nullptr;
  ASSERT_TRUE(waitFor([&] { return (batch = findDialog(program.id(), wide(ui::batchTemplate().caption))) != nullptr; }));
  EXPECT_EQ(addressValue(program.handle(), GetDlgItem(batch, ui::ids::batch_dialog::kStart.value)),
            valueOf(testsupport::kLabProposedAddress));
  SendMessageW(GetDlgItem(batch, ui::ids::batch_dialog::kStart.value), IPM_SETADDRESS, 0,
               static_cast<LPARAM>(valueOf("192.168.1.100")));
  // OK waits for every planned address to be checked on the link.
  const HWND ok = GetDlgItem(batch, IDOK);
  ASSERT_TRUE(waitFor([&] { return IsWindowEnabled(ok); })) << "the planned addresses were never checked";
  click(ok);
  HWND confirm = nullptr;
  ASSERT_TRUE(waitFor([&] { return (confirm = findDialog(program.id(), wide(ui::strings::kNoticeCaption), batch)); }));
  EXPECT_THAT(staticTexts(confirm), ElementsAre(wide(ui::strings::batchConfirm(3, "192.168.1.100", "192.168.1.102").c_str())));
  pressOk(confirm);

  // In list order, whatever addresses the cameras had.
  EXPECT_TRUE(waitFor([&] {
    const Rows rows = list().rows();
    return rows.size() == 3 && rows[0][1] == L"192.168.1.100" && rows[1][1] == L"192.168.1.101" &&
           rows[2][1] == L"192.168.1.102";
  })) << "the cameras moved and answered";
  std::vector<discovery::SetIpRecord> requests;
  for (const auto& datagram : wire.sentByOthers())
    if (discovery::commandOf(datagram.payload) == discovery::CMD_SET_IP) {
      EXPECT_EQ(datagram.payload.size(), 44u);
      requests.push_back(*discovery::decodeSetIpRequest(datagram.payload));
    }
  ASSERT_EQ(requests.size(), 3u) << "exactly one request a camera, none for the cancelled Apply";
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(wide(std::string(requests[i].mac.text()).c_str()), listed[i][0]);
    EXPECT_EQ(discovery::formatAddress(requests[i].newAddress), "192.168.1.10" + std::to_string(i));
  }
}

// The box a file's name is typed into, in the common file dialog `dialog`.
HWND fileNameBox(HWND dialog) {
  HWND found = nullptr;
  EnumChildWindows(
      dialog,
      [](HWND child, LPARAM result) -> BOOL {
        if (className(child) != L"Edit" || !IsWindowVisible(child)) return TRUE;
        *reinterpret_cast<HWND*>(result) = child;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

TEST_F(ProgramTest, APlanOfTheThreeCamerasIsOpenedPreviewedAndSentAndTheRowsAreRewritten) {
  testsupport::WirePeer wire;
  ASSERT_TRUE(wire.ok()) << "the raw socket capture needs root";
  namespace plan = ui::ids::plan_dialog;
  click(control(cameraPage, camera_page::kSearch.value));
  ASSERT_TRUE(waitFor([&] { return list().rowCount() == 3; })) << list().rowCount() << " rows";
  const Rows listed = list().rows();

  // The plan, in the prefix's temporary folder, which the program sees as this test does: the lab's
  // cameras in reverse order, and one the list lacks.
  wchar_t folder[MAX_PATH];
  ASSERT_GT(GetTempPathW(MAX_PATH, folder), 0u);
  const std::wstring path = std::wstring(folder) + L"tovalen-plan.csv";
  std::string rows = "MAC,IP,Gateway\r\n";
  for (int i = 2; i >= 0; --i)
    rows += std::string(testsupport::kLabCameraTexts[i].mac) + ",192.168.1.11" + std::to_string(i) + ",192.168.1.1\r\n";
  rows += "02:00:00:00:00:99,192.168.1.119,192.168.1.1\r\n";
  std::FILE* file = _wfopen(path.c_str(), L"wb");
  ASSERT_TRUE(file);
  std::fwrite(rows.data(), 1, rows.size(), file);
  std::fclose(file);

  PostMessageW(cameraPage, WM_COMMAND, camera_page::kPlanCommand, 0);
  HWND open = nullptr;
  ASSERT_TRUE(waitFor([&] { return (open = findDialog(program.id(), wide(ui::strings::kPlanFileCaption))) != nullptr; }));
  HWND name = nullptr;
  ASSERT_TRUE(waitFor([&] { return (name = fileNameBox(open)) != nullptr; })) << "the file dialog has no name box";
  SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
  click(GetDlgItem(open, IDOK));

  HWND dialog = nullptr;
  ASSERT_TRUE(waitFor([&] { return (dialog = findDialog(program.id(), wide(ui::planTemplate().caption))) != nullptr; }));
  // Wine cannot ask the link (SendARP is not supported there): each listed camera's check says so, and
  // then OK may be pressed.
  const HWND ok = GetDlgItem(dialog, IDOK);
  ASSERT_TRUE(waitFor([&] { return IsWindowEnabled(ok); })) << "the planned addresses were never checked";
  const auto currentOf = [&](const char* mac) {
    for (const auto& row : listed)
      if (row[0] == wide(mac)) return row[1];
    return std::wstring();
  };
  Rows expected;
  for (int i = 2; i >= 0; --i) {
    const char* mac = testsupport::kLabCameraTexts[i].mac;
    expected.push_back({wide(mac), currentOf(mac), L"192.168.1.11" + std::to_wstring(i), L"192.168.1.1",
                        wide(ui::strings::kAddressUnverified), L""});
  }
  expected.push_back({L"02:00:00:00:00:99", wide(ui::strings::kNotListed), L"192.168.1.119", L"192.168.1.1", L"", L""});
  EXPECT_EQ(RemoteList(program.handle(), GetDlgItem(dialog, plan::kPreview.value)).rows(), expected);
  EXPECT_EQ(windowText(GetDlgItem(dialog, plan::kSummary.value)), wide(ui::strings::planListed(3, 4).c_str()));
  wire.sentByOthers();  // what went before
  click(ok);
  HWND confirm = nullptr;
  ASSERT_TRUE(waitFor([&] { return (confirm = findDialog(program.id(), wide(ui::strings::kNoticeCaption), dialog)); }));
  EXPECT_THAT(staticTexts(confirm), ElementsAre(wide(ui::strings::planConfirm(3).c_str())));
  pressOk(confirm);

  EXPECT_TRUE(waitFor([&] {
    const Rows now = list().rows();
    return now.size() == 3 && std::all_of(now.begin(), now.end(), [&](const auto& row) {
             for (int i = 0; i < 3; ++i)
               if (row[0] == wide(testsupport::kLabCameraTexts[i].mac))
                 return row[1] == L"192.168.1.11" + std::to_wstring(i);
             return false;
           });
  })) << "the cameras moved and answered";
  std::vector<discovery::SetIpRecord> requests;
  for (const auto& datagram : wire.sentByOthers())
    if (discovery::commandOf(datagram.payload) == discovery::CMD_SET_IP)
      requests.push_back(*discovery::decodeSetIpRequest(datagram.payload));
  ASSERT_EQ(requests.size(), 3u) << "one request a listed camera, in the plan's order";
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(std::string(requests[i].mac.text()), testsupport::kLabCameraTexts[2 - i].mac);
    EXPECT_EQ(discovery::formatAddress(requests[i].newAddress), "192.168.1.11" + std::to_string(2 - i));
  }
  _wremove(path.c_str());
}

// The clipboard's Unicode text, as another program pastes it.
std::wstring clipboardText() {
  std::wstring text;
  if (!OpenClipboard(nullptr)) return text;
  if (const HANDLE data = GetClipboardData(CF_UNICODETEXT))
    if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
      text = chars;
      GlobalUnlock(data);
    }
  CloseClipboard();
  return text;
}

TEST_F(ProgramTest, F5OnTheListOpensTheNetworkCheckWhoseReportIsShownAndCopied) {
  namespace check = ui::ids::network_check_dialog;
  const HWND cameras = control(cameraPage, camera_page::kCameraList.value);
  pressKey(mainWindow, VK_TAB);  // from 搜索摄像机, which has the focus at start, to the list
  GUITHREADINFO thread{};
  thread.cbSize = sizeof thread;
  ASSERT_TRUE(waitFor([&] {
    return GetGUIThreadInfo(GetWindowThreadProcessId(mainWindow, nullptr), &thread) && thread.hwndFocus == cameras;
  }));
  pressKey(mainWindow, VK_F5);
  HWND dialog = nullptr;
  ASSERT_TRUE(waitFor([&] { return (dialog = findDialog(program.id(), wide(ui::strings::network::kCaption))); }));
  const HWND report = GetDlgItem(dialog, check::kReport.value);
  const HWND copy = GetDlgItem(dialog, check::kCopy.value);
  ASSERT_TRUE(waitFor([&] { return IsWindowEnabled(copy); })) << "the report after the listen time";
  const std::wstring shown = windowText(report);
  EXPECT_EQ(shown.rfind(wide(ui::strings::network::kAdaptersHeading), 0), 0u) << win32::toUtf8(shown);
  EXPECT_NE(shown.find(wide(ui::strings::network::kProblemsHeading)), std::wstring::npos);
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, check::kFix.value))) << "Windows has no fix to offer";
  click(copy);
  EXPECT_TRUE(waitFor([&] { return clipboardText() == shown; }));
  click(GetDlgItem(dialog, check::kClose.value));
  EXPECT_TRUE(waitFor([&] { return !IsWindow(dialog); }));
}

TEST_F(ProgramTest, TheListsMenuOpensOnAnEmptyListAndItsLastEntryIsTheNetworkCheck) {
  ASSERT_EQ(list().rowCount(), 0);
  const HWND cameras = control(cameraPage, camera_page::kCameraList.value);
  PostMessageW(cameraPage, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(cameras), -1);  // as Shift+F10 asks
  // The popup menu's window, shown by the program.
  const auto shownMenu = [&] {
    const HWND menu = FindWindowW(L"#32768", nullptr);
    DWORD owner = 0;
    if (menu) GetWindowThreadProcessId(menu, &owner);
    return menu && IsWindowVisible(menu) && owner == program.id();
  };
  ASSERT_TRUE(waitFor(shownMenu));
  // Up from no entry picks the last one. (Another process cannot read the
  // menu's texts under Wine.)
  pressKey(mainWindow, VK_UP);
  pressKey(mainWindow, VK_RETURN);
  HWND dialog = nullptr;
  ASSERT_TRUE(waitFor([&] { return (dialog = findDialog(program.id(), wide(ui::strings::network::kCaption))); }));
  EXPECT_FALSE(shownMenu());
  click(GetDlgItem(dialog, ui::ids::network_check_dialog::kClose.value));
  EXPECT_TRUE(waitFor([&] { return !IsWindow(dialog); }));
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

TEST_F(ProgramTest, MovedToAMonitorOfAnotherDpiItLaysItselfOutAgain) {
  RECT frame = screenRect(mainWindow);
  frame.right = frame.left + (frame.right - frame.left) * 3 / 2;
  frame.bottom = frame.top + (frame.bottom - frame.top) * 3 / 2;
  sendDpiChange(program.handle(), mainWindow, 144, frame);
  for (int column = 0; column < 3; ++column) EXPECT_EQ(columnWidth(column), 225) << "column " << column;
  EXPECT_GE(screenRect(mainWindow).right, frame.right);
  EXPECT_THAT(clipped(), IsEmpty());
}

// Started at a DPI and with the dialogs' face of a Chinese Windows: every
// control wholly shown, the list's columns 150 px at 96 DPI and scaled.
class LayoutTest : public ProgramTest, public testing::WithParamInterface<Look> {
 protected:
  LayoutTest() : ProgramTest(GetParam()) {}
};

TEST_P(LayoutTest, NothingIsClippedAndTheColumnsFollowTheDpi) {
  EXPECT_THAT(clipped(), IsEmpty());
  for (int column = 0; column < 3; ++column)
    EXPECT_EQ(columnWidth(column), MulDiv(150, GetParam().dpi, 96)) << "column " << column;
}

// WenQuanYi Micro Hei is the prefix's; AR PL UMing, a Song face as SimSun
// is, stands for what a Chinese Windows draws "MS Shell Dlg" in.
INSTANTIATE_TEST_SUITE_P(FacesAndDpis, LayoutTest,
                         testing::Values(Look{L"WenQuanYi Micro Hei", 96}, Look{L"WenQuanYi Micro Hei", 120},
                                         Look{L"WenQuanYi Micro Hei", 144}, Look{L"WenQuanYi Micro Hei", 192},
                                         Look{L"AR PL UMing CN", 96}, Look{L"AR PL UMing CN", 120},
                                         Look{L"AR PL UMing CN", 144}, Look{L"AR PL UMing CN", 192}));

}  // namespace
}  // namespace win32test
