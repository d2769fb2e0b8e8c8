#include "win32/main_window.h"

#include <commctrl.h>

#include <algorithm>

#include "res/dialog_templates.h"
#include "res/resource_ids.h"
#include "res/strings.h"
#include "res/tab_layout.h"
#include "win32/about_box.h"
#include "win32/dpi.h"
#include "win32/text.h"

namespace win32 {
namespace {

using namespace ui::ids::main_window;

HICON loadAppIcon(HINSTANCE instance, int sizeMetric, int dpi) {
  const int size = systemMetricAtDpi(sizeMetric, dpi);
  return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(ui::ids::kAppIcon), IMAGE_ICON, size, size, 0));
}

// A template's rectangle in pixels of `dialog`'s font.
RECT inPixels(HWND dialog, const ui::DialogRect& rect) {
  RECT pixels{rect.x, rect.y, rect.x + rect.width, rect.y + rect.height};
  MapDialogRect(dialog, &pixels);
  return pixels;
}

ui::tab_layout::PixelSize clientSize(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  return {client.right, client.bottom};
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
    case WM_DPICHANGED:
      onDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return TRUE;
    default:
      return FALSE;
  }
}

void MainWindow::onInit() {
  const int dpi = dpiOf(window());
  addAboutEntry();
  setIcons(dpi);
  pages_ = {cameraPage_.create(instance_, window()), calcPage_.create(instance_, window())};
  addTabs();
  layOut(dpi);
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

void MainWindow::setIcons(int dpi) {
  const HICON oldBig = bigIcon_;
  const HICON oldSmall = smallIcon_;
  bigIcon_ = loadAppIcon(instance_, SM_CXICON, dpi);
  smallIcon_ = loadAppIcon(instance_, SM_CXSMICON, dpi);
  SendMessageW(window(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_));
  SendMessageW(window(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
  if (oldBig) DestroyIcon(oldBig);
  if (oldSmall) DestroyIcon(oldSmall);
}

void MainWindow::addTabs() {
  const HWND tabs = item(kTabs.value);
  for (const char* label : {ui::strings::kCameraTab, ui::strings::kCalculatorTab}) {
    std::wstring text = fromUtf8(label);
    TCITEMW tab{};
    tab.mask = TCIF_TEXT;
    tab.pszText = text.data();
    SendMessageW(tabs, TCM_INSERTITEMW, SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0), reinterpret_cast<LPARAM>(&tab));
  }
}

void MainWindow::layOut(int dpi) {
  namespace layout = ui::tab_layout;
  // Each page as large as its template makes it in its own font.
  const ui::DialogTemplate* pageTemplates[kPageCount] = {&ui::cameraPageTemplate(), &ui::calcPageTemplate()};
  layout::PixelSize largestPage{};
  for (int i = 0; i < kPageCount; ++i) {
    const RECT page = inPixels(pages_[i], {0, 0, pageTemplates[i]->width, pageTemplates[i]->height});
    largestPage = {std::max<int>(largestPage.width, page.right), std::max<int>(largestPage.height, page.bottom)};
  }
  const layout::PixelSize client = clientSize(window());
  const layout::PixelSize fitting = layout::clientFitting(client, largestPage, dpi);
  if (fitting.width != client.width || fitting.height != client.height) {
    RECT frame{0, 0, fitting.width, fitting.height};
    addFrameAtDpi(frame, static_cast<DWORD>(GetWindowLongW(window(), GWL_STYLE)),
                  static_cast<DWORD>(GetWindowLongW(window(), GWL_EXSTYLE)), dpi);
    SetWindowPos(window(), nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  const layout::PixelSize placed = clientSize(window());

  // Close keeps the template's distance from the bottom right corner.
  const ui::DialogTemplate& main = ui::mainWindowTemplate();
  const RECT templateClient = inPixels(window(), {0, 0, main.width, main.height});
  const auto closeSpec = std::find_if(main.controls.begin(), main.controls.end(),
                                      [](const ui::ControlSpec& control) { return control.id == kClose.value; });
  const RECT close = inPixels(window(), closeSpec->rect);
  SetWindowPos(item(kClose.value), nullptr, close.left + placed.width - templateClient.right,
               close.top + placed.height - templateClient.bottom, close.right - close.left, close.bottom - close.top,
               SWP_NOZORDER | SWP_NOACTIVATE);

  const auto tabArea = layout::tabControl(placed.width, placed.height, dpi);
  MoveWindow(item(kTabs.value), tabArea.x, tabArea.y, tabArea.width, tabArea.height, TRUE);
  // The pages lie over the tab control, clipped to the page rectangle.
  const auto pageArea = layout::page(tabArea.width, tabArea.height, dpi);
  for (const HWND page : pages_)
    SetWindowPos(page, HWND_TOP, pageArea.x, pageArea.y, pageArea.width, pageArea.height, SWP_NOACTIVATE);
}

void MainWindow::onDpiChanged(int dpi, const RECT& suggested) {
  SetWindowPos(window(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  setIcons(dpi);
  layOut(dpi);
  cameraPage_.scaleColumns(dpi);
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
