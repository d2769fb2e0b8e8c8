#include "win32/camera_page.h"

#include <algorithm>
#include <optional>
#include <string>
#include <utility>

#include "pages/plan_dialog.h"

#include "res/resource_ids.h"
#include "res/strings.h"
#include "win32/address_control.h"
#include "win32/batch_dialog.h"
#include "win32/list_view.h"
#include "win32/network_check_dialog.h"
#include "win32/plan_dialog.h"
#include "win32/text.h"

namespace win32 {
namespace {

using namespace ui::ids::camera_page;

// Posted by the receive thread when records wait.
constexpr UINT kRecordsWaiting = WM_APP + 1;
static_assert(kRecordsWaiting != Timer::kTaskDue && kRecordsWaiting != Timer::kTasksPosted);

std::string gbkToUtf8(std::string_view gbk) { return toUtf8(fromGbk(gbk)); }

}  // namespace

CameraPage::CameraPage(pages::HostNetwork& network)
    : checker_(network, timer_),
      channel_(network, [this] { PostMessageW(window(), kRecordsWaiting, 0, 0); }),
      page_({channel_, prompter_, timer_, checker_, network, gbkToUtf8}, *this) {}

HWND CameraPage::create(HINSTANCE instance, HWND parent) {
  instance_ = instance;
  return createChild(instance, ui::ids::kCameraPageDialog, parent);
}

INT_PTR CameraPage::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (timer_.handle(message, wParam)) return TRUE;
  switch (message) {
    case WM_INITDIALOG:
      onInit();
      return FALSE;
    case WM_DESTROY:
      page_.close();  // no record arrives after this
      return FALSE;
    case kRecordsWaiting:
      page_.recordsArrived();
      return TRUE;
    case WM_CONTEXTMENU:
      // Right-click, the menu key and Shift+F10 on the list.
      if (reinterpret_cast<HWND>(wParam) != item(kCameraList.value)) return FALSE;
      showListMenu(lParam);
      return TRUE;
    case WM_COMMAND:
      return onCommand(wParam);
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<NMHDR*>(lParam);
      if (header->idFrom != static_cast<UINT_PTR>(kCameraList.value)) return FALSE;
      onListNotice(*header, lParam);
      return TRUE;
    }
    default:
      return FALSE;
  }
}

void CameraPage::scaleColumns(int dpi) { win32::scaleColumns(item(kCameraList.value), dpi); }

void CameraPage::onInit() {
  addColumns(item(kCameraList.value), ui::strings::kCameraColumns);
  page_.openInBackground();
}

void CameraPage::proposalRead() {
  showAddress(item(kNewAddress.value), page_.proposedAddress());
  showAddress(item(kNewGateway.value), page_.proposedGateway());
}

bool CameraPage::onCommand(WPARAM wParam) {
  switch (LOWORD(wParam)) {
    case kCopyCommand: page_.copy(selectedRows()); return true;
    case kSelectAllCommand: ListView_SetItemState(item(kCameraList.value), -1, LVIS_SELECTED, LVIS_SELECTED); return true;
    case kExportCommand: page_.exportList(); return true;
    case kOpenWebPageCommand: page_.openWebPage(selectedRows()); return true;
    case kBatchCommand: readdressSelection(); return true;
    case kPlanCommand: readdressByPlan(); return true;
    case kNetworkCheckCommand:
      runNetworkCheckDialog(instance_, window(), channel_, [this] { return !page_.channelOpened(); });
      return true;
    default: break;
  }
  if (HIWORD(wParam) != BN_CLICKED) return false;
  if (LOWORD(wParam) == kSearch.value) page_.search();
  if (LOWORD(wParam) == kApply.value) apply();
  return true;  // Enter elsewhere on the page does nothing
}

void CameraPage::onListNotice(const NMHDR& notice, LPARAM lParam) {
  switch (notice.code) {
    case LVN_GETDISPINFOW:
      showCell(*reinterpret_cast<NMLVDISPINFOW*>(lParam),
               [this](std::size_t row, std::size_t column) { return fromGbk(page_.cell(row, column)); });
      break;
    case NM_DBLCLK:  // the left button's; the right one's is NM_RDBLCLK
      pick();
      break;
    case LVN_ODFINDITEMW: {
      // Typing in the list: the list keeps no texts of its own to search.
      const auto& find = *reinterpret_cast<const NMLVFINDITEMW*>(lParam);
      const bool byText = (find.lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) && find.lvfi.psz;
      const auto row = byText ? page_.rowStartingWith(toUtf8(find.lvfi.psz), static_cast<std::size_t>(std::max(find.iStart, 0)))
                              : std::nullopt;
      SetWindowLongPtrW(window(), DWLP_MSGRESULT, row ? static_cast<LONG_PTR>(*row) : -1);
      break;
    }
    case LVN_KEYDOWN: {
      const bool control = GetKeyState(VK_CONTROL) < 0;
      const WORD key = reinterpret_cast<const NMLVKEYDOWN*>(lParam)->wVKey;
      if (control && key == 'C') onCommand(kCopyCommand);
      if (control && key == 'A') onCommand(kSelectAllCommand);
      if (key == VK_F5) onCommand(kNetworkCheckCommand);
      break;
    }
    default:
      break;
  }
}

std::vector<std::size_t> CameraPage::selectedRows() const {
  std::vector<std::size_t> rows;
  const HWND list = item(kCameraList.value);
  for (int row = -1; (row = ListView_GetNextItem(list, row, LVNI_SELECTED)) >= 0;)
    rows.push_back(static_cast<std::size_t>(row));
  return rows;
}

void CameraPage::pick() {
  const auto row = ListView_GetNextItem(item(kCameraList.value), -1, LVNI_SELECTED);
  if (row < 0) return;
  const std::size_t firstSelected = static_cast<std::size_t>(row);
  if (!page_.pick({&firstSelected, 1})) return;
  SetWindowTextW(item(kMac.value), fromGbk(page_.picked().mac).c_str());
  SetWindowTextW(item(kIp.value), fromGbk(page_.picked().ip).c_str());
  SetWindowTextW(item(kGateway.value), fromGbk(page_.picked().gateway).c_str());
}

void CameraPage::apply() {
  page_.apply([this] {
    return pages::NewAddresses{addressOf(item(kNewAddress.value)), addressOf(item(kNewGateway.value))};
  });
}

void CameraPage::rowsChanged(const pages::ShownCameraList::Changes& changes) {
  const HWND list = item(kCameraList.value);
  if (changes.shown > changes.shownBefore)
    SendMessageW(list, LVM_SETITEMCOUNT, changes.shown, LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
  if (changes.anyRewritten) SendMessageW(list, LVM_REDRAWITEMS, changes.firstRewritten, changes.lastRewritten);
}

void CameraPage::addressCheckRunning(bool running) {
  EnableWindow(item(kApply.value), !running);
  SetCursor(LoadCursorW(nullptr, running ? IDC_APPSTARTING : IDC_ARROW));
}

void CameraPage::showListMenu(LPARAM at) {
  POINT where{static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))};
  const HWND list = item(kCameraList.value);
  if (at == -1) {  // from the keyboard: at the focused row, or the list's corner
    RECT row{};
    const int focused = ListView_GetNextItem(list, -1, LVNI_FOCUSED);
    if (focused < 0 || !ListView_GetItemRect(list, focused, &row, LVIR_LABEL)) GetClientRect(list, &row);
    where = {row.left, row.bottom};
    ClientToScreen(list, &where);
  }
  const HMENU menu = CreatePopupMenu();
  const std::pair<int, const char*> entries[] = {{kCopyCommand, ui::strings::kCopyMenuEntry},
                                                 {kSelectAllCommand, ui::strings::kSelectAllMenuEntry},
                                                 {kOpenWebPageCommand, ui::strings::kOpenWebPageMenuEntry},
                                                 {kExportCommand, ui::strings::kExportMenuEntry},
                                                 {kBatchCommand, ui::strings::kBatchMenuEntry},
                                                 {kPlanCommand, ui::strings::kPlanMenuEntry},
                                                 {kNetworkCheckCommand, ui::strings::network::kMenuEntry}};
  for (const auto& [command, text] : entries) {
    const bool busy = (command == kBatchCommand || command == kPlanCommand) && page_.batchRunning();
    AppendMenuW(menu, MF_STRING | (busy ? MF_GRAYED : 0), command, fromUtf8(text).c_str());
  }
  TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, where.x, where.y, 0, window(), nullptr);
  DestroyMenu(menu);
}

void CameraPage::readdressSelection() {
  const std::vector<std::size_t> selected = selectedRows();
  if (selected.empty() || !page_.readyForBatch()) return;
  runBatchDialog(instance_, window(), page_, selected);
}

void CameraPage::readdressByPlan() {
  std::optional<pages::SitePlan> plan = pages::chooseSitePlan(page_, prompter_);
  if (plan) runPlanDialog(instance_, window(), page_, std::move(*plan));
}

}  // namespace win32
