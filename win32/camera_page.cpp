#include "win32/camera_page.h"

#include <commctrl.h>

#include "res/dialog_templates.h"
#include "res/resource_ids.h"
#include "res/strings.h"
#include "win32/dpi.h"
#include "win32/text.h"

namespace win32 {
namespace {

using namespace ui::ids::camera_page;

// Posted by the receive thread when records wait, and by the page itself
// while some are still to be applied.
constexpr UINT kRecordsWaiting = WM_APP + 1;

int columnWidth(int dpi) { return MulDiv(ui::kCameraColumnWidth, dpi, kDefaultDpi); }

}  // namespace

CameraPage::CameraPage(discovery::HostNetwork& network)
    : page_(network, [this] { PostMessageW(window(), kRecordsWaiting, 0, 0); }) {}

HWND CameraPage::create(HINSTANCE instance, HWND parent) {
  return createChild(instance, ui::ids::kCameraPageDialog, parent);
}

INT_PTR CameraPage::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      onInit();
      return FALSE;
    case WM_DESTROY:
      page_.close();  // no record arrives after this
      return FALSE;
    case kRecordsWaiting:
      applyRecords();
      return TRUE;
    case WM_COMMAND:
      if (HIWORD(wParam) != BN_CLICKED) return FALSE;
      if (LOWORD(wParam) == kSearch.value) page_.search();
      if (LOWORD(wParam) == kApply.value) apply();
      return TRUE;  // Enter elsewhere on the page does nothing
    case WM_NOTIFY: {
      auto* notice = reinterpret_cast<NMHDR*>(lParam);
      if (notice->idFrom != static_cast<UINT_PTR>(kCameraList.value)) return FALSE;
      if (notice->code == LVN_GETDISPINFOW) showCell(*reinterpret_cast<NMLVDISPINFOW*>(lParam));
      // NM_DBLCLK is the left button's; the right one's is NM_RDBLCLK.
      if (notice->code == NM_DBLCLK) pick();
      return TRUE;
    }
    default:
      return FALSE;
  }
}

void CameraPage::onInit() {
  setUpList();
  page_.open();
  showAddress(item(kNewAddress.value), page_.proposedAddress());
  showAddress(item(kNewGateway.value), page_.proposedGateway());
}

void CameraPage::showAddress(HWND control, std::string_view dotted) {
  // Windows' address control parses a window text; Wine's keeps it as plain
  // text. Its fields are set from the value instead, which both take; a text
  // that is no address leaves them blank.
  if (const auto address = discovery::parseAddress(dotted))
    SendMessageW(control, IPM_SETADDRESS, 0, static_cast<LPARAM>(discovery::toFieldsValue(*address)));
  else
    SendMessageW(control, IPM_CLEARADDRESS, 0, 0);
}

void CameraPage::setUpList() {
  const HWND list = item(kCameraList.value);
  SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  for (std::size_t column = 0; column < ui::strings::kCameraColumns.size(); ++column) {
    std::wstring header = fromUtf8(ui::strings::kCameraColumns[column]);
    LVCOLUMNW columnInfo{};
    columnInfo.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
    columnInfo.fmt = LVCFMT_LEFT;
    columnInfo.cx = columnWidth(dpiOf(window()));
    columnInfo.pszText = header.data();
    SendMessageW(list, LVM_INSERTCOLUMNW, column, reinterpret_cast<LPARAM>(&columnInfo));
  }
}

void CameraPage::scaleColumns(int dpi) {
  for (std::size_t column = 0; column < ui::strings::kCameraColumns.size(); ++column)
    SendMessageW(item(kCameraList.value), LVM_SETCOLUMNWIDTH, column, columnWidth(dpi));
}

void CameraPage::pick() {
  const auto row = SendMessageW(item(kCameraList.value), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
  if (row < 0) return;
  const std::size_t firstSelected = static_cast<std::size_t>(row);
  if (!page_.pick({&firstSelected, 1})) return;
  SetWindowTextW(item(kMac.value), fromGbk(page_.picked().mac).c_str());
  SetWindowTextW(item(kIp.value), fromGbk(page_.picked().ip).c_str());
  SetWindowTextW(item(kGateway.value), fromGbk(page_.picked().gateway).c_str());
}

std::uint32_t CameraPage::address(int id) const {
  DWORD value = 0;
  SendMessageW(item(id), IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&value));
  return value;
}

void CameraPage::apply() {
  if (!page_.readyToApply(address(kNewAddress.value), address(kNewGateway.value))) return;
  const int answer = MessageBoxW(window(), fromUtf8(ui::strings::kConfirmChange).c_str(),
                                 fromUtf8(ui::strings::kNoticeCaption).c_str(), MB_OKCANCEL | MB_ICONQUESTION);
  // Read again: the values are those in force when the user said OK.
  if (answer == IDOK) page_.apply(address(kNewAddress.value), address(kNewGateway.value));
}

void CameraPage::applyRecords() {
  const pages::RecordSlice slice = page_.applyRecords();
  const HWND list = item(kCameraList.value);
  if (slice.changes && slice.changes->shown > slice.changes->shownBefore)
    SendMessageW(list, LVM_SETITEMCOUNT, slice.changes->shown, LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
  if (slice.changes && slice.changes->anyRewritten)
    SendMessageW(list, LVM_REDRAWITEMS, slice.changes->firstRewritten, slice.changes->lastRewritten);
  if (slice.more) PostMessageW(window(), kRecordsWaiting, 0, 0);
}

void CameraPage::showCell(NMLVDISPINFOW& request) {
  LVITEMW& cell = request.item;
  if (!(cell.mask & LVIF_TEXT) || !cell.pszText || cell.cchTextMax <= 0) return;
  cell.pszText[0] = L'\0';
  if (cell.iItem < 0 || cell.iSubItem < 0) return;
  const std::wstring text =
      fromGbk(page_.cell(static_cast<std::size_t>(cell.iItem), static_cast<std::size_t>(cell.iSubItem)));
  lstrcpynW(cell.pszText, text.c_str(), cell.cchTextMax);
}

}  // namespace win32
