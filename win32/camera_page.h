// The camera page in Win32: shows what pages::CameraPage does (the search,
// the list, the pick, Apply, the list's own menu and batch re-addressing) and
// asks the user. Records arrive from the receive thread as a posted message,
// and are applied a slice per message.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstddef>
#include <vector>

#include "pages/camera_page.h"
#include "win32/dialog.h"

namespace win32 {

class CameraPage : public Dialog {
 public:
  // The page reads the PC's gateway from `network` and opens its channel on it.
  explicit CameraPage(discovery::HostNetwork& network);

  // Creates the page, hidden, as a child of `parent`; the channel opens now
  // and closes when the page is destroyed.
  HWND create(HINSTANCE instance, HWND parent);

  // The list's columns keep their width at 96 DPI in physical pixels: wider
  // at a higher DPI.
  void scaleColumns(int dpi);

 private:
  INT_PTR onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void onInit();
  bool onCommand(WPARAM wParam);
  void onListNotice(const NMHDR& notice, LPARAM lParam);
  std::vector<std::size_t> selectedRows() const;
  void pick();
  void apply();
  bool confirmDespiteConflict(std::uint32_t newAddress);
  void applyRecords();
  void showListMenu(LPARAM at);
  void copySelection();
  void exportList();
  void readdressSelection();
  void sendNextOfBatch();
  void offerToResendUnanswered();

  HINSTANCE instance_ = nullptr;
  pages::CameraPage page_;
};

}  // namespace win32
