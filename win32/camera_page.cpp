#include "win32/camera_page.h"

#include <commctrl.h>

#include <algorithm>
#include <span>

#include "discovery/gateway.h"
#include "ui/res/dialog_templates.h"
#include "ui/res/resource_ids.h"
#include "ui/res/strings.h"
#include "win32/text.h"

namespace win32 {
namespace {

using namespace ui::ids::camera_page;

// Posted by the receive thread (through the inbox) when records wait, and by
// the page itself while some are still to be applied.
constexpr UINT kRecordsWaiting = WM_APP + 1;
// Records applied per message, so that the window keeps answering while a
// large burst is applied.
constexpr std::size_t kRecordsPerMessage = 2048;

}  // namespace

CameraPage::CameraPage(discovery::HostNetwork& network)
    : network_(network),
      inbox_([this] { PostMessageW(window(), kRecordsWaiting, 0, 0); }),
      channel_(inbox_, network) {}

HWND CameraPage::create(HINSTANCE instance, HWND parent) {
  return createChild(instance, ui::ids::kCameraPageDialog, parent);
}

INT_PTR CameraPage::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      onInit();
      return FALSE;
    case WM_DESTROY:
      channel_.close();  // no record arrives after this
      return FALSE;
    case kRecordsWaiting:
      applyArrivedRecords();
      return TRUE;
    case WM_COMMAND:
      if (HIWORD(wParam) != BN_CLICKED) return FALSE;
      if (LOWORD(wParam) == kSearch.value) search();
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
  std::string gateway;
  discovery::readGateway(network_, gateway);
  channel_.open();  // without a channel the page still works, it just hears nothing
  showAddress(item(kNewAddress.value), discovery::defaultAddress(gateway));
  showAddress(item(kNewGateway.value), discovery::defaultGateway(gateway));
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
    columnInfo.cx = ui::kCameraColumnWidth;
    columnInfo.pszText = header.data();
    SendMessageW(list, LVM_INSERTCOLUMNW, column, reinterpret_cast<LPARAM>(&columnInfo));
  }
}

void CameraPage::search() { channel_.sendSearch(); }

void CameraPage::pick() {
  // The row under the pointer is not consulted: the first selected row is picked.
  const auto row = SendMessageW(item(kCameraList.value), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
  if (row < 0 || static_cast<std::size_t>(row) >= cameras_.shownRows()) return;
  const discovery::CameraRow& camera = cameras_.cameras().row(static_cast<std::size_t>(row));
  pickedMac_ = camera.mac;
  SetWindowTextW(item(kMac.value), fromGbk(camera.mac).c_str());
  SetWindowTextW(item(kIp.value), fromGbk(camera.ip).c_str());
  SetWindowTextW(item(kGateway.value), fromGbk(camera.gateway).c_str());
}

std::uint32_t CameraPage::address(int id) const {
  DWORD value = 0;
  SendMessageW(item(id), IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&value));
  return value;
}

void CameraPage::apply() {
  if (GetWindowTextLengthW(item(kMac.value)) == 0 || address(kNewAddress.value) == 0 ||
      address(kNewGateway.value) == 0)
    return;
  const int answer = MessageBoxW(window(), fromUtf8(ui::strings::kConfirmChange).c_str(),
                                 fromUtf8(ui::strings::kNoticeCaption).c_str(), MB_OKCANCEL | MB_ICONQUESTION);
  if (answer != IDOK) return;
  // Read again: the values are those in force when the user said OK.
  const auto request =
      discovery::encodeSetIpRequest(pickedMac_, address(kNewAddress.value), address(kNewGateway.value));
  channel_.send(discovery::CMD_SET_IP, request);
}

void CameraPage::applyArrivedRecords() {
  backlog_.takeFrom(inbox_);
  cameras_.absorb(backlog_.next(kRecordsPerMessage));

  const HWND list = item(kCameraList.value);
  const auto changes = cameras_.publish();
  if (changes.shown > changes.shownBefore)
    SendMessageW(list, LVM_SETITEMCOUNT, changes.shown, LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
  if (changes.anyRewritten) SendMessageW(list, LVM_REDRAWITEMS, changes.firstRewritten, changes.lastRewritten);

  if (!backlog_.empty()) PostMessageW(window(), kRecordsWaiting, 0, 0);
}

void CameraPage::showCell(NMLVDISPINFOW& request) {
  LVITEMW& cell = request.item;
  if (!(cell.mask & LVIF_TEXT) || !cell.pszText || cell.cchTextMax <= 0) return;
  cell.pszText[0] = L'\0';
  if (cell.iItem < 0 || static_cast<std::size_t>(cell.iItem) >= cameras_.shownRows()) return;
  const discovery::CameraRow& camera = cameras_.cameras().row(static_cast<std::size_t>(cell.iItem));
  const std::string* texts[] = {&camera.mac, &camera.ip, &camera.gateway};
  if (cell.iSubItem < 0 || cell.iSubItem >= static_cast<int>(std::size(texts))) return;
  const std::wstring text = fromGbk(*texts[cell.iSubItem]);
  lstrcpynW(cell.pszText, text.c_str(), cell.cchTextMax);
}

}  // namespace win32
