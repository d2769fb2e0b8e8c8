#include "win32/network_check_dialog.h"

#include <utility>

#include "pages/network_check_dialog.h"
#include "res/resource_ids.h"
#include "win32/dialog.h"
#include "win32/prompter.h"
#include "win32/text.h"
#include "win32/timer.h"

namespace win32 {
namespace {

using namespace ui::ids::network_check_dialog;

class NetworkCheckDialog : public Dialog, private pages::NetworkCheckView {
 public:
  NetworkCheckDialog(HWND owner, pages::MulticastCameraChannel& channel, std::function<bool()> channelOpening)
      : owner_(owner),
        check_({channel.multicast(), inspector_, timer_, prompter_, nullptr, std::move(channelOpening)}, *this) {}

  void run(HINSTANCE instance) { runModal(instance, ui::ids::kNetworkCheckDialog, owner_); }

 private:
  INT_PTR onMessage(UINT message, WPARAM wParam, LPARAM) override {
    if (timer_.handle(message, wParam)) return TRUE;
    switch (message) {
      case WM_INITDIALOG:
        centre(window(), owner_);
        ShowWindow(item(kFix.value), SW_HIDE);
        check_.start();  // the timer needs the window
        return TRUE;
      case WM_COMMAND:
        if (LOWORD(wParam) == kCopy.value) check_.copy();
        if (LOWORD(wParam) == kClose.value) EndDialog(window(), IDCANCEL);
        return TRUE;
      default:
        return FALSE;
    }
  }

  void changed() override {
    SetWindowTextW(item(kReport.value), fromUtf8(check_.text()).c_str());
    EnableWindow(item(kCopy.value), check_.canCopy());
  }

  HWND owner_;
  Prompter prompter_{this};
  Timer timer_{*this};
  pages::SystemInspector inspector_;
  pages::NetworkCheckDialog check_;
};

}  // namespace

void runNetworkCheckDialog(HINSTANCE instance, HWND owner, pages::MulticastCameraChannel& channel,
                           std::function<bool()> channelOpening) {
  NetworkCheckDialog(owner, channel, std::move(channelOpening)).run(instance);
}

}  // namespace win32
