#include "win32/plan_dialog.h"

#include <commctrl.h>

#include <utility>

#include "pages/plan_dialog.h"
#include "res/resource_ids.h"
#include "res/strings.h"
#include "win32/dialog.h"
#include "win32/list_view.h"
#include "win32/prompter.h"
#include "win32/text.h"

namespace win32 {
namespace {

using namespace ui::ids::plan_dialog;

class PlanDialog : public Dialog, private pages::PlanDialogView {
 public:
  PlanDialog(HWND owner, pages::CameraPage& page, pages::SitePlan plan)
      : owner_(owner), dialog_(page, std::move(plan), this) {}

  void run(HINSTANCE instance) { runModal(instance, ui::ids::kPlanDialog, owner_); }

 private:
  INT_PTR onMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    switch (message) {
      case WM_INITDIALOG:
        centre(window(), owner_);
        addColumns(item(kPreview.value), ui::strings::kPlanColumns);
        previewChanged();
        return TRUE;
      case WM_NOTIFY: {
        auto* notice = reinterpret_cast<NMHDR*>(lParam);
        if (notice->idFrom == static_cast<UINT_PTR>(kPreview.value) && notice->code == LVN_GETDISPINFOW)
          showCell(*reinterpret_cast<NMLVDISPINFOW*>(lParam),
                   [this](std::size_t row, std::size_t column) { return fromUtf8(dialog_.cell(row, column)); });
        return TRUE;
      }
      case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) accept();
        if (LOWORD(wParam) == IDCANCEL) EndDialog(window(), IDCANCEL);
        return TRUE;
      default:
        return FALSE;
    }
  }

  void previewChanged() override {
    EnableWindow(item(kOk.value), dialog_.sendable());
    SetWindowTextW(item(kSummary.value), fromUtf8(dialog_.summary()).c_str());
    SendMessageW(item(kPreview.value), LVM_SETITEMCOUNT, dialog_.rowCount(), 0);
    InvalidateRect(item(kPreview.value), nullptr, TRUE);
  }

  void accept() {
    if (dialog_.accept(prompter_))
      EndDialog(window(), IDOK);
    else
      previewChanged();  // the preview shows what OK found
  }

  HWND owner_;
  pages::PlanDialog dialog_;
  Prompter prompter_{this};
};

}  // namespace

void runPlanDialog(HINSTANCE instance, HWND owner, pages::CameraPage& page, pages::SitePlan plan) {
  PlanDialog(owner, page, std::move(plan)).run(instance);
}

}  // namespace win32
