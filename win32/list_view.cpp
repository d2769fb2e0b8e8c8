#include "win32/list_view.h"

#include "res/dialog_templates.h"
#include "win32/dpi.h"
#include "win32/text.h"

namespace win32 {
namespace {

int columnWidth(int dpi) { return MulDiv(ui::kCameraColumnWidth, dpi, kDefaultDpi); }

}  // namespace

void addColumns(HWND list, std::span<const char* const> headers) {
  SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  for (std::size_t column = 0; column < headers.size(); ++column) {
    std::wstring header = fromUtf8(headers[column]);
    LVCOLUMNW columnInfo{};
    columnInfo.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
    columnInfo.fmt = LVCFMT_LEFT;
    columnInfo.cx = columnWidth(dpiOf(list));
    columnInfo.pszText = header.data();
    SendMessageW(list, LVM_INSERTCOLUMNW, column, reinterpret_cast<LPARAM>(&columnInfo));
  }
}

void scaleColumns(HWND list, int dpi) {
  const HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
  const int columns = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
  for (int column = 0; column < columns; ++column) SendMessageW(list, LVM_SETCOLUMNWIDTH, column, columnWidth(dpi));
}

void showCell(NMLVDISPINFOW& request, const std::function<std::wstring(std::size_t row, std::size_t column)>& text) {
  LVITEMW& cell = request.item;
  if (!(cell.mask & LVIF_TEXT) || !cell.pszText || cell.cchTextMax <= 0) return;
  cell.pszText[0] = L'\0';
  if (cell.iItem < 0 || cell.iSubItem < 0) return;
  const std::wstring shown = text(static_cast<std::size_t>(cell.iItem), static_cast<std::size_t>(cell.iSubItem));
  lstrcpynW(cell.pszText, shown.c_str(), cell.cchTextMax);
}

}  // namespace win32
