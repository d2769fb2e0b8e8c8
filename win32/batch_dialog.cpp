#include "win32/batch_dialog.h"

#include <commctrl.h>

#include <string>

#include "discovery/protocol.h"
#include "res/resource_ids.h"
#include "res/strings.h"
#include "win32/address_control.h"
#include "win32/dialog.h"
#include "win32/list_view.h"
#include "win32/text.h"

namespace win32 {
namespace {

using namespace ui::ids::batch_dialog;

std::string dotted(std::uint32_t address) { return discovery::formatAddress(discovery::toIpv4Bytes(address)); }

class BatchDialog : public Dialog {
 public:
  BatchDialog(HWND owner, const pages::CameraPage& page, std::span<const std::size_t> selectedRows)
      : owner_(owner), page_(page), selectedRows_(selectedRows.begin(), selectedRows.end()) {}

  std::optional<AcceptedBatch> run(HINSTANCE instance) {
    if (runModal(instance, ui::ids::kBatchDialog, owner_) != IDOK) return std::nullopt;
    return accepted_;
  }

 private:
  INT_PTR onMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    switch (message) {
      case WM_INITDIALOG:
        centre(window(), owner_);
        addColumns(item(kPreview.value), ui::strings::kBatchColumns);
        showAddress(item(kStart.value), page_.proposedAddress());
        showAddress(item(kGateway.value), page_.proposedGateway());
        replan();
        return TRUE;
      case WM_NOTIFY: {
        auto* notice = reinterpret_cast<NMHDR*>(lParam);
        if (notice->idFrom == static_cast<UINT_PTR>(kPreview.value) && notice->code == LVN_GETDISPINFOW)
          showCell(*reinterpret_cast<NMLVDISPINFOW*>(lParam), [this](std::size_t row, std::size_t column) {
            return previewCell(row, column);
          });
        return TRUE;
      }
      case WM_COMMAND:
        if (HIWORD(wParam) == EN_CHANGE && (LOWORD(wParam) == kStart.value || LOWORD(wParam) == kGateway.value))
          replan();
        if (LOWORD(wParam) == IDOK) accept();
        if (LOWORD(wParam) == IDCANCEL) EndDialog(window(), IDCANCEL);
        return TRUE;
      default:
        return FALSE;
    }
  }

  void replan() {
    plan_ = page_.planBatch(selectedRows_, addressOf(item(kStart.value)), addressOf(item(kGateway.value)));
    SendMessageW(item(kPreview.value), LVM_SETITEMCOUNT, plan_.items.size(), 0);
    InvalidateRect(item(kPreview.value), nullptr, TRUE);
  }

  std::wstring previewCell(std::size_t row, std::size_t column) const {
    if (row >= plan_.items.size()) return {};
    const auto& planned = plan_.items[row];
    switch (column) {
      case 0: return fromGbk(planned.mac);
      case 1: return fromGbk(planned.currentIp);
      case 2: return fromUtf8(dotted(planned.newAddress));
      default: return {};
    }
  }

  void accept() {
    replan();  // with the values in force now, whether the fields told of a change or not
    const std::uint32_t start = addressOf(item(kStart.value));
    if (start == 0 || addressOf(item(kGateway.value)) == 0 || (plan_.items.empty() && !plan_.ranOut)) return;
    const std::wstring caption = fromUtf8(ui::strings::kNoticeCaption);
    if (plan_.ranOut) {
      MessageBoxW(window(), fromUtf8(ui::strings::batchRanOut(dotted(start), selectedRows_.size())).c_str(),
                  caption.c_str(), MB_OK | MB_ICONEXCLAMATION);
      return;
    }
    const std::string confirm = ui::strings::batchConfirm(plan_.items.size(), dotted(plan_.items.front().newAddress),
                                                          dotted(plan_.items.back().newAddress));
    if (MessageBoxW(window(), fromUtf8(confirm).c_str(), caption.c_str(), MB_OKCANCEL | MB_ICONQUESTION) != IDOK) return;
    // Taken now: the controls go with the dialog.
    accepted_ = {plan_.items, addressOf(item(kGateway.value))};
    EndDialog(window(), IDOK);
  }

  HWND owner_;
  const pages::CameraPage& page_;
  std::vector<std::size_t> selectedRows_;
  pages::CameraPage::BatchPlan plan_;
  AcceptedBatch accepted_;
};

}  // namespace

std::optional<AcceptedBatch> askForBatch(HINSTANCE instance, HWND owner, const pages::CameraPage& page,
                                         std::span<const std::size_t> selectedRows) {
  return BatchDialog(owner, page, selectedRows).run(instance);
}

}  // namespace win32
