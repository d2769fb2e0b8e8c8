#include "win32/main_window.h"

#include <commctrl.h>

#include "res/resource_ids.h"
#include "res/strings.h"
#include "res/tab_layout.h"
#include "win32/about_box.h"
#include "win32/text.h"

namespace win32 {
namespace {

using namespace ui::ids::main_window;

HICON loadAppIcon(HINSTANCE instance, int sizeMetric) {
  const int size = GetSystemMetrics(sizeMetric);
  return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(ui::ids::kAppIcon), IMAGE_ICON, size, size, 0));
}

}  // namespace

void MainWindow::run(HINSTANCE instance) {
  instance_ = instance;
  runModal(instance, ui::ids::kMainDialog, nullptr);
  DestroyIcon(bigIcon_);
  DestroyIcon(smallIcon_);
}

INT_PTR MainWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      onInit();
      return FALSE;  // the focus is set
    case WM_SYSCOMMAND:
      // The system keeps the low four bits of a command for itself.
      if ((wParam & 0xFFF0) != ui::ids::kAboutCommand) return FALSE;
      showAboutBox(instance_, window());
      return TRUE;
    case WM_NOTIFY: {
      const auto* notice = reinterpret_cast<const NMHDR*>(lParam);
      if (notice->idFrom != static_cast<UINT_PTR>(kTabs.value) || notice->code != TCN_SELCHANGE) return FALSE;
      showPage(static_cast<int>(SendMessageW(notice->hwndFrom, TCM_GETCURFOCUS, 0, 0)));
      return TRUE;
    }
    case WM_COMMAND:
      onCommand(wParam, lParam);
      return TRUE;
    case WM_PAINT:
      return paintMinimised();
    case WM_QUERYDRAGICON:
      return reinterpret_cast<INT_PTR>(bigIcon_);
    default:
      return FALSE;
  }
}

void MainWindow::onInit() {
  addAboutEntry();
  setIcons();
  pages_ = {cameraPage_.create(instance_, window()), calcPage_.create(instance_, window())};
  placeTabsAndPages();
  showPage(kCameraPage);
  centre(window(), nullptr);
  SetFocus(GetNextDlgTabItem(pages_[kCameraPage], nullptr, FALSE));
}

void MainWindow::addAboutEntry() {
  const HMENU systemMenu = GetSystemMenu(window(), FALSE);
  const wchar_t* text = nullptr;
  // LoadStringW with no buffer points into the resource; the length excludes the NUL.
  const int length = LoadStringW(instance_, ui::ids::kAboutMenuString, reinterpret_cast<LPWSTR>(&text), 0);
  if (!systemMenu || length <= 0) return;
  AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(systemMenu, MF_STRING, ui::ids::kAboutCommand, std::wstring(text, static_cast<std::size_t>(length)).c_str());
}

void MainWindow::setIcons() {
  bigIcon_ = loadAppIcon(instance_, SM_CXICON);
  smallIcon_ = loadAppIcon(instance_, SM_CXSMICON);
  SendMessageW(window(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_));
  SendMessageW(window(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
}

void MainWindow::placeTabsAndPages() {
  const HWND tabs = item(kTabs.value);
  RECT client{};
  GetClientRect(window(), &client);
  const auto tabArea = ui::tab_layout::tabControl(client.right, client.bottom);
  MoveWindow(tabs, tabArea.x, tabArea.y, tabArea.width, tabArea.height, TRUE);
  for (const char* label : {ui::strings::kCameraTab, ui::strings::kCalculatorTab}) {
    std::wstring text = fromUtf8(label);
    TCITEMW tab{};
    tab.mask = TCIF_TEXT;
    tab.pszText = text.data();
    SendMessageW(tabs, TCM_INSERTITEMW, SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0), reinterpret_cast<LPARAM>(&tab));
  }
  // The pages lie over the tab control, clipped to the page rectangle.
  const auto pageArea = ui::tab_layout::page(tabArea.width, tabArea.height);
  for (const HWND page : pages_)
    SetWindowPos(page, HWND_TOP, pageArea.x, pageArea.y, pageArea.width, pageArea.height, SWP_NOACTIVATE);
}

void MainWindow::showPage(int page) {
  if (page < 0 || page >= kPageCount) return;
  for (int i = 0; i < kPageCount; ++i) ShowWindow(pages_[i], i == page ? SW_SHOW : SW_HIDE);
  SendMessageW(item(kTabs.value), TCM_SETCURSEL, static_cast<WPARAM>(page), 0);
}

HWND MainWindow::pageWithFocus() const {
  const HWND focus = GetFocus();
  for (const HWND page : pages_)
    if (focus && (focus == page || IsChild(page, focus))) return page;
  return nullptr;
}

void MainWindow::onCommand(WPARAM wParam, LPARAM lParam) {
  const int id = LOWORD(wParam);
  if (id == IDCANCEL) {
    EndDialog(window(), 0);
    return;
  }
  // What the keyboard does inside a page (Enter, which the dialog manager
  // turns into this window's default command, or a page's button pressed
  // with Enter) belongs to that page: Enter never closes the window there.
  if (const HWND page = pageWithFocus()) {
    SendMessageW(page, WM_COMMAND, wParam, lParam);
    return;
  }
  if (id == kClose.value) EndDialog(window(), 0);
}

bool MainWindow::paintMinimised() {
  if (!IsIconic(window())) return false;
  PAINTSTRUCT paint;
  const HDC context = BeginPaint(window(), &paint);
  SendMessageW(window(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(context), 0);
  RECT client{};
  GetClientRect(window(), &client);
  const int x = (client.right - GetSystemMetrics(SM_CXICON) + 1) / 2;
  const int y = (client.bottom - GetSystemMetrics(SM_CYICON) + 1) / 2;
  DrawIcon(context, x, y, bigIcon_);
  EndPaint(window(), &paint);
  return true;
}

}  // namespace win32
