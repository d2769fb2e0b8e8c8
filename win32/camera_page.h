// The camera page in Win32: shows what pages::CameraPage does (the search,
// the list, the pick, Apply, the list's own menu with batch re-addressing and
// the network check) in the page's controls. Records arrive from the receive thread as a posted
// message; the page's prompts are message boxes and its waits are timers.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstddef>
#include <vector>

#include "pages/camera_page.h"
#include "pages/multicast_camera_channel.h"
#include "win32/dialog.h"
#include "win32/prompter.h"
#include "win32/timer.h"

namespace win32 {

class CameraPage : public Dialog, private pages::CameraPageView {
 public:
  // The page reads the PC's gateway from `network` and opens its channel on it.
  explicit CameraPage(pages::HostNetwork& network);

  // Creates the page, hidden, as a child of `parent`; the channel starts
  // opening behind it now and closes when the page is destroyed.
  HWND create(HINSTANCE instance, HWND parent);

  // The list's columns keep their width at 96 DPI in physical pixels: wider
  // at a higher DPI.
  void scaleColumns(int dpi);

 private:
  INT_PTR onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void rowsChanged(const pages::ShownCameraList::Changes& changes) override;
  void addressCheckRunning(bool running) override;
  void proposalRead() override;
  void onInit();
  bool onCommand(WPARAM wParam);
  void onListNotice(const NMHDR& notice, LPARAM lParam);
  std::vector<std::size_t> selectedRows() const;
  void pick();
  void apply();
  void showListMenu(LPARAM at);
  void readdressSelection();
  void readdressByPlan();

  HINSTANCE instance_ = nullptr;
  Prompter prompter_{this};
  Timer timer_{*this};
  pages::LinkAddressChecker checker_;
  pages::MulticastCameraChannel channel_;
  pages::CameraPage page_;
};

}  // namespace win32
