// The camera page: searches the network for cameras, lists them, lets the
// user pick one by double-click and send it a new address and gateway.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <string_view>
#include <vector>

#include "discovery/camera_list.h"
#include "discovery/channel.h"
#include "discovery/record_queue.h"
#include "win32/dialog.h"

namespace win32 {

class CameraPage : public Dialog {
 public:
  // The page reads the PC's gateway from `network` and opens its channel on it.
  explicit CameraPage(discovery::HostNetwork& network);

  // Creates the page, hidden, as a child of `parent`; the channel opens now
  // and closes when the page is destroyed.
  HWND create(HINSTANCE instance, HWND parent);

 private:
  INT_PTR onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void onInit();
  static void showAddress(HWND control, std::string_view dotted);
  void setUpList();
  void search();
  void pick();
  void apply();
  void applyArrivedRecords();
  void showCell(NMLVDISPINFOW& request);
  std::uint32_t address(int id) const;

  discovery::HostNetwork& network_;
  discovery::ShownCameraList cameras_;
  discovery::RecordQueue inbox_;
  discovery::MulticastChannel channel_;
  discovery::RecordBacklog backlog_;
  // The picked camera's MAC as it came from the wire: a text that is not
  // valid GBK would not survive a round trip through the MAC box.
  std::string pickedMac_;
};

}  // namespace win32
