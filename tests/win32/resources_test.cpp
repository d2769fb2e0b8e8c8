// tovalen.exe's dialog resources against the templates of res they are
// written from: every control of every dialog, created from the resources
// in this process, has the kind, text, place in dialog units, tab stop and
// visibility its template gives it, in the template's font; the string table
// and the icon are there.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "res/dialog_templates.h"
#include "res/resource_ids.h"
#include "res/strings.h"
#include "win32/program_driver.h"
#include "win32/text.h"

namespace win32test {
namespace {

using ui::ControlKind;
using ui::ControlSpec;
using ui::DialogTemplate;

struct Case {
  const char* name;
  int resourceId;
  const DialogTemplate& (*dialogTemplate)();
  bool isPage;
};

void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

INT_PTR CALLBACK quietDialog(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

// What a control of this kind is made of: its window class, and the style
// bits (in `mask`) it must have.
struct Expected {
  const wchar_t* windowClass;
  DWORD mask;
  DWORD bits;
};

Expected expectedFor(const ControlSpec& control) {
  switch (control.kind) {
    case ControlKind::PushButton:
      return {L"Button", BS_TYPEMASK, static_cast<DWORD>((control.style & ui::Default) ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON)};
    case ControlKind::GroupBox:
      return {L"Button", BS_TYPEMASK, BS_GROUPBOX};
    case ControlKind::Static:
      return {L"Static", SS_TYPEMASK, static_cast<DWORD>((control.style & ui::WordWrap) ? SS_LEFT : SS_LEFTNOWORDWRAP)};
    case ControlKind::Edit:
      return {L"Edit", ES_READONLY | ES_AUTOHSCROLL | ES_MULTILINE,
              static_cast<DWORD>(ES_AUTOHSCROLL | ((control.style & ui::ReadOnly) ? ES_READONLY : 0))};
    case ControlKind::ListView:
      // Report view; the selection hidden without the focus; several rows
      // at once; no sorting, no label editing.
      return {L"SysListView32",
              LVS_TYPEMASK | LVS_SHOWSELALWAYS | LVS_SINGLESEL | LVS_SORTASCENDING | LVS_SORTDESCENDING |
                  LVS_EDITLABELS | LVS_OWNERDATA,
              LVS_REPORT | LVS_OWNERDATA};
    case ControlKind::IpAddress:
      return {L"SysIPAddress32", 0, 0};
    case ControlKind::TabControl:
      return {L"SysTabControl32", 0, 0};
    case ControlKind::Icon:
      return {L"Static", SS_TYPEMASK, SS_ICON};
    case ControlKind::TextView:
      return {L"Edit", ES_READONLY | ES_AUTOHSCROLL | ES_MULTILINE | WS_VSCROLL,
              static_cast<DWORD>(ES_READONLY | ES_MULTILINE | WS_VSCROLL)};
  }
  return {};
}

class DialogResourceTest : public testing::TestWithParam<Case> {
 protected:
  void SetUp() override {
    program = LoadLibraryExW(programPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(program) << "cannot load " << TOVALEN_EXECUTABLE;
    // A page is a child window: it needs a parent.
    parent = CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    dialog = CreateDialogParamW(program, MAKEINTRESOURCEW(GetParam().resourceId), GetParam().isPage ? parent : nullptr,
                                quietDialog, 0);
    ASSERT_TRUE(dialog) << "no dialog " << GetParam().resourceId;
  }
  void TearDown() override {
    if (dialog) DestroyWindow(dialog);
    if (parent) DestroyWindow(parent);
    if (program) FreeLibrary(program);
  }

  // Left, top, width and height, each converted on its own as the system does.
  RECT toPixels(const ui::DialogRect& rect) const {
    RECT pixels{rect.x, rect.y, rect.width, rect.height};
    MapDialogRect(dialog, &pixels);
    return pixels;
  }
  // The controls in creation order.
  std::vector<HWND> children() const {
    std::vector<HWND> all;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) all.push_back(child);
    return all;
  }

  HMODULE program = nullptr;
  HWND parent = nullptr;
  HWND dialog = nullptr;
};

TEST_P(DialogResourceTest, IsTheTemplatesSizeInItsFontWithItsCaptionAndWindowStyle) {
  const DialogTemplate& source = GetParam().dialogTemplate();
  RECT client{};
  GetClientRect(dialog, &client);
  const RECT expected = toPixels({0, 0, source.width, source.height});
  EXPECT_EQ(client.right, expected.right);
  EXPECT_EQ(client.bottom, expected.bottom);
  EXPECT_EQ(windowText(dialog), win32::fromUtf8(source.caption));

  LOGFONTW font{};
  ASSERT_TRUE(GetObjectW(reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)), sizeof font, &font));
  EXPECT_STREQ(font.lfFaceName, L"MS Shell Dlg");
  const HDC screen = GetDC(nullptr);
  EXPECT_EQ(font.lfHeight, -MulDiv(source.pointSize, GetDeviceCaps(screen, LOGPIXELSY), 72));
  ReleaseDC(nullptr, screen);

  const auto style = static_cast<DWORD>(GetWindowLongW(dialog, GWL_STYLE));
  const auto extended = static_cast<DWORD>(GetWindowLongW(dialog, GWL_EXSTYLE));
  if (GetParam().isPage) {
    EXPECT_EQ(style & (WS_CHILD | WS_POPUP | WS_CAPTION | DS_CONTROL), static_cast<DWORD>(WS_CHILD | DS_CONTROL));
    EXPECT_TRUE(extended & WS_EX_CONTROLPARENT) << "Tab walks into the page";
  } else {
    EXPECT_EQ(style & (WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME),
              static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME));
  }
  if (GetParam().resourceId == ui::ids::kMainDialog) {
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_TRUE(extended & WS_EX_APPWINDOW);
  }
}

TEST_P(DialogResourceTest, EveryControlIsTheTemplatesInKindTextPlaceTabStopAndVisibility) {
  const DialogTemplate& source = GetParam().dialogTemplate();
  const std::vector<HWND> controls = children();
  ASSERT_EQ(controls.size(), source.controls.size());
  for (std::size_t i = 0; i < controls.size(); ++i) {
    const ControlSpec& control = source.controls[i];
    const HWND window = controls[i];
    SCOPED_TRACE("control " + std::to_string(i) + " (id " + std::to_string(control.id) + ")");
    EXPECT_EQ(static_cast<WORD>(GetDlgCtrlID(window)), static_cast<WORD>(control.id));
    const Expected expected = expectedFor(control);
    EXPECT_EQ(className(window), expected.windowClass);
    const auto style = static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE));
    EXPECT_EQ(style & expected.mask, expected.bits) << std::hex << style;
    if (control.kind == ControlKind::ListView) {
      // The dialog turns a control's WS_BORDER into the sunken edge.
      EXPECT_TRUE((style & WS_BORDER) || (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_CLIENTEDGE));
    }
    const bool tabStop = std::count(source.tabOrder.begin(), source.tabOrder.end(), control.id) > 0;
    EXPECT_EQ((style & WS_TABSTOP) != 0, tabStop);
    EXPECT_EQ((style & WS_VISIBLE) != 0, !(control.style & ui::Hidden));
    if (control.kind != ControlKind::Icon && control.kind != ControlKind::IpAddress) {
      EXPECT_EQ(windowText(window), win32::fromUtf8(control.text));
    }

    RECT placed{};
    GetWindowRect(window, &placed);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&placed), 2);
    const RECT expectedPlace = toPixels(control.rect);
    EXPECT_EQ(placed.left, expectedPlace.left);
    EXPECT_EQ(placed.top, expectedPlace.top);
    // An icon control takes its icon's size.
    if (control.kind == ControlKind::Icon) continue;
    EXPECT_EQ(placed.right - placed.left, expectedPlace.right);
    EXPECT_EQ(placed.bottom - placed.top, expectedPlace.bottom);
  }
}

TEST_P(DialogResourceTest, TabWalksTheTemplatesTabOrder) {
  const DialogTemplate& source = GetParam().dialogTemplate();
  HWND current = GetDlgItem(dialog, source.tabOrder.front());
  for (std::size_t i = 1; i < source.tabOrder.size(); ++i) {
    current = GetNextDlgTabItem(dialog, current, FALSE);
    EXPECT_EQ(GetDlgCtrlID(current), source.tabOrder[i]);
  }
}

INSTANTIATE_TEST_SUITE_P(AllDialogs, DialogResourceTest,
                         testing::Values(Case{"About", ui::ids::kAboutDialog, &ui::aboutTemplate, false},
                                         Case{"MainWindow", ui::ids::kMainDialog, &ui::mainWindowTemplate, false},
                                         Case{"CameraPage", ui::ids::kCameraPageDialog, &ui::cameraPageTemplate, true},
                                         Case{"CalcPage", ui::ids::kCalcPageDialog, &ui::calcPageTemplate, true},
                                         Case{"Batch", ui::ids::kBatchDialog, &ui::batchTemplate, false},
                                         Case{"Plan", ui::ids::kPlanDialog, &ui::planTemplate, false},
                                         Case{"NetworkCheck", ui::ids::kNetworkCheckDialog, &ui::networkCheckTemplate,
                                              false}),
                         [](const testing::TestParamInfo<Case>& info) { return info.param.name; });

TEST(ProgramResourcesTest, TheAboutEntryAndTheIconInEverySize) {
  const HMODULE program = LoadLibraryExW(programPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_TRUE(program);
  const wchar_t* entry = nullptr;
  const int length = LoadStringW(program, ui::ids::kAboutMenuString, reinterpret_cast<LPWSTR>(&entry), 0);
  EXPECT_EQ(std::wstring(entry, static_cast<std::size_t>(std::max(length, 0))),
            win32::fromUtf8(ui::strings::kAboutMenuEntry));
  for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
    const auto icon = static_cast<HICON>(
        LoadImageW(program, MAKEINTRESOURCEW(ui::ids::kAppIcon), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
    EXPECT_TRUE(icon) << size << " px";
    ICONINFO info{};
    BITMAP picture{};
    if (icon && GetIconInfo(icon, &info) && GetObjectW(info.hbmColor, sizeof picture, &picture)) {
      EXPECT_EQ(picture.bmWidth, size);
    }
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    if (icon) DestroyIcon(icon);
  }
  FreeLibrary(program);
}

TEST(ProgramResourcesTest, TheFilePropertiesNameTheProgramItsVersionAndCopyright) {
  const auto properties = fileProperties(programPath());
  ASSERT_TRUE(properties) << "no version resource";
  EXPECT_EQ(properties->versionHigh, static_cast<DWORD>(MAKELONG(TOVALEN_VERSION_MINOR, TOVALEN_VERSION_MAJOR)));
  EXPECT_EQ(properties->versionLow, 0u);
  EXPECT_EQ(properties->productName, L"Tovalen");
  EXPECT_EQ(properties->productVersion, win32::fromUtf8(TOVALEN_VERSION));
  EXPECT_EQ(properties->fileVersion, win32::fromUtf8(TOVALEN_VERSION));
  EXPECT_EQ(properties->copyright, win32::fromUtf8(TOVALEN_COPYRIGHT));
  EXPECT_EQ(properties->description, win32::fromUtf8(ui::strings::kProgramDescription));
}

}  // namespace
}  // namespace win32test
