#include "win32/batch_dialog.h"

#include <commctrl.h>

#include <string>

#include "pages/batch_dialog.h"
#include "res/resource_ids.h"
#include "res/strings.h"
#include "win32/address_control.h"
#include "win32/dialog.h"
#include "win32/list_view.h"
#include "win32/prompter.h"
#include "win32/text.h"

namespace win32 {
namespace {

using namespace ui::ids::batch_dialog;

class BatchDialog : public Dialog, private pages::BatchDialogView {
 public:
  BatchDialog(HWND owner, pages::CameraPage& page, std::span<const std::size_t> selectedRows)
      : owner_(owner), dialog_(page, selectedRows, this) {}

  void run(HINSTANCE instance) { runModal(instance, ui::ids::kBatchDialog, owner_); }

 private:
  INT_PTR onMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    switch (message) {
      case WM_INITDIALOG:
        centre(window(), owner_);
        addColumns(item(kPreview.value), ui::strings::kBatchColumns);
        showAddress(item(kStart.value), dialog_.proposedStart());
        showAddress(item(kGateway.value), dialog_.proposedGateway());
        replan();
        return TRUE;
      case WM_NOTIFY: {
        auto* notice = reinterpret_cast<NMHDR*>(lParam);
        if (notice->idFrom == static_cast<UINT_PTR>(kPreview.value) && notice->code == LVN_GETDISPINFOW)
          showCell(*reinterpret_cast<NMLVDISPINFOW*>(lParam), [this](std::size_t row, std::size_t column) {
            // The link's answer is UTF-8; the rest comes from the wire.
            return column == pages::kBatchCheckColumn ? fromUtf8(dialog_.cell(row, column)) : fromGbk(dialog_.cell(row, column));
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

  std::uint32_t start() const { return addressOf(item(kStart.value)); }
  std::uint32_t gateway() const { return addressOf(item(kGateway.value)); }

  void replan() {
    dialog_.replan(start(), gateway());
    previewChanged();
  }

  void previewChanged() override {
    EnableWindow(item(kOk.value), dialog_.checked());
    SendMessageW(item(kPreview.value), LVM_SETITEMCOUNT, dialog_.plan().items.size(), 0);
    InvalidateRect(item(kPreview.value), nullptr, TRUE);
  }

  void accept() {
    if (dialog_.accept(start(), gateway(), prompter_))
      EndDialog(window(), IDOK);
    else
      replan();  // the preview shows what OK planned from
  }

  HWND owner_;
  pages::BatchDialog dialog_;
  Prompter prompter_{this};
};

}  // namespace

void runBatchDialog(HINSTANCE instance, HWND owner, pages::CameraPage& page, std::span<const std::size_t> selectedRows) {
  BatchDialog(owner, page, selectedRows).run(instance);
}

}  // namespace win32
