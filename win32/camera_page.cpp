#include "win32/camera_page.h"

#include <commdlg.h>

#include <string>

#include "pages/list_text.h"
#include "res/resource_ids.h"
#include "res/strings.h"
#include "win32/address_control.h"
#include "win32/batch_dialog.h"
#include "win32/list_view.h"
#include "win32/text.h"

namespace win32 {
namespace {

using namespace ui::ids::camera_page;

// Posted by the receive thread when records wait, and by the page itself
// while some are still to be applied.
constexpr UINT kRecordsWaiting = WM_APP + 1;
// A batch's requests go out this far apart, so that no burst is lost on a
// slow link; its answers are awaited this long after the last.
constexpr UINT_PTR kBatchTimer = 1;
constexpr UINT_PTR kBatchAnswersTimer = 2;
constexpr UINT kBatchSpacingMs = 5;
constexpr UINT kBatchAnswerWaitMs = 3000;

std::string gbkToUtf8(std::string_view gbk) { return toUtf8(fromGbk(gbk)); }

int notice(HWND owner, const std::string& text, UINT buttons) {
  return MessageBoxW(owner, fromUtf8(text).c_str(), fromUtf8(ui::strings::kNoticeCaption).c_str(), buttons);
}

// Puts UTF-8 text on the clipboard as the system's Unicode text.
void copyToClipboard(HWND owner, const std::string& text) {
  const std::wstring wide = fromUtf8(text);
  const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (wide.size() + 1) * sizeof(wchar_t));
  if (!memory) return;
  if (auto* copy = static_cast<wchar_t*>(GlobalLock(memory))) {
    lstrcpynW(copy, wide.c_str(), static_cast<int>(wide.size() + 1));
    GlobalUnlock(memory);
  }
  if (!OpenClipboard(owner)) {
    GlobalFree(memory);
    return;
  }
  EmptyClipboard();
  if (!SetClipboardData(CF_UNICODETEXT, memory)) GlobalFree(memory);  // once set, the system owns it
  CloseClipboard();
}

}  // namespace

CameraPage::CameraPage(discovery::HostNetwork& network)
    : page_(network, [this] { PostMessageW(window(), kRecordsWaiting, 0, 0); }) {}

HWND CameraPage::create(HINSTANCE instance, HWND parent) {
  instance_ = instance;
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
    case WM_TIMER:
      KillTimer(window(), wParam);
      if (wParam == kBatchTimer) sendNextOfBatch();
      if (wParam == kBatchAnswersTimer) offerToResendUnanswered();
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
  page_.open();
  showAddress(item(kNewAddress.value), page_.proposedAddress());
  showAddress(item(kNewGateway.value), page_.proposedGateway());
}

bool CameraPage::onCommand(WPARAM wParam) {
  switch (LOWORD(wParam)) {
    case kCopyCommand: copySelection(); return true;
    case kSelectAllCommand: ListView_SetItemState(item(kCameraList.value), -1, LVIS_SELECTED, LVIS_SELECTED); return true;
    case kExportCommand: exportList(); return true;
    case kBatchCommand: readdressSelection(); return true;
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
    case LVN_KEYDOWN: {
      const bool control = GetKeyState(VK_CONTROL) < 0;
      const WORD key = reinterpret_cast<const NMLVKEYDOWN*>(lParam)->wVKey;
      if (control && key == 'C') copySelection();
      if (control && key == 'A') onCommand(kSelectAllCommand);
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
  if (!page_.readyToApply(addressOf(item(kNewAddress.value)), addressOf(item(kNewGateway.value)))) return;
  if (!confirmDespiteConflict(addressOf(item(kNewAddress.value)))) return;
  // Read again: the values are those in force when the user said OK.
  if (notice(window(), ui::strings::kConfirmChange, MB_OKCANCEL | MB_ICONQUESTION) == IDOK)
    page_.apply(addressOf(item(kNewAddress.value)), addressOf(item(kNewGateway.value)));
}

bool CameraPage::confirmDespiteConflict(std::uint32_t newAddress) {
  const auto conflict = page_.conflictOf(newAddress);
  if (!conflict) return true;
  return notice(window(), pages::conflictNotice(*conflict, newAddress, gbkToUtf8), MB_OKCANCEL | MB_ICONEXCLAMATION) ==
         IDOK;
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
                                                 {kExportCommand, ui::strings::kExportMenuEntry},
                                                 {kBatchCommand, ui::strings::kBatchMenuEntry}};
  for (const auto& [command, text] : entries) AppendMenuW(menu, MF_STRING, command, fromUtf8(text).c_str());
  TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, where.x, where.y, 0, window(), nullptr);
  DestroyMenu(menu);
}

void CameraPage::copySelection() { copyToClipboard(window(), pages::copiedText(page_, selectedRows(), gbkToUtf8)); }

void CameraPage::exportList() {
  std::wstring path = fromUtf8(ui::strings::kExportFileName);
  path.resize(MAX_PATH);
  // The filter's parts are separated by NULs, and it ends with two.
  std::wstring filter = fromUtf8(ui::strings::kCsvFilter);
  filter += L'\0';
  filter += L"*.csv";
  filter += L'\0';
  const std::wstring caption = fromUtf8(ui::strings::kExportCaption);
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = window();
  dialog.lpstrFilter = filter.c_str();
  dialog.lpstrFile = path.data();
  dialog.nMaxFile = static_cast<DWORD>(path.size());
  dialog.lpstrTitle = caption.c_str();
  dialog.lpstrDefExt = L"csv";
  dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
  if (!GetSaveFileNameW(&dialog)) return;
  path.resize(lstrlenW(path.c_str()));

  const std::string csv = pages::csvText(page_, gbkToUtf8);
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  const bool saved = file != INVALID_HANDLE_VALUE &&
                     WriteFile(file, csv.data(), static_cast<DWORD>(csv.size()), &written, nullptr) &&
                     written == csv.size();
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  if (!saved) notice(window(), ui::strings::exportFailed(toUtf8(path)), MB_OK | MB_ICONEXCLAMATION);
}

void CameraPage::readdressSelection() {
  const std::vector<std::size_t> selected = selectedRows();
  if (selected.empty()) return;
  const auto batch = askForBatch(instance_, window(), page_, selected);
  if (!batch) return;
  page_.startBatch(batch->items, batch->gateway);
  sendNextOfBatch();
}

void CameraPage::sendNextOfBatch() {
  if (page_.sendNextOfBatch())
    SetTimer(window(), kBatchTimer, kBatchSpacingMs, nullptr);
  else
    SetTimer(window(), kBatchAnswersTimer, kBatchAnswerWaitMs, nullptr);
}

void CameraPage::offerToResendUnanswered() {
  const auto unanswered = page_.unansweredOfBatch();
  if (unanswered.empty()) return;
  if (notice(window(), pages::unansweredNotice(unanswered, gbkToUtf8), MB_OKCANCEL | MB_ICONQUESTION) != IDOK) return;
  page_.startBatch(unanswered, page_.batchGateway());
  sendNextOfBatch();
}

}  // namespace win32
