// What the camera page does, whatever toolkit draws it: it searches through
// its channel, keeps the list of cameras heard, applies their records to the
// list in short slices, hands out the texts of the list's cells, remembers
// the picked camera and sends it its new address. A front-end shows the
// page's state in its widgets and asks the user; it holds no rule of its own.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "discovery/camera_list.h"
#include "discovery/channel.h"
#include "discovery/record_queue.h"
#include "pages/record_pacer.h"

namespace pages {

// The list's columns, in their order on screen (res/strings.h names them).
enum CameraColumn : std::size_t { kMacColumn, kIpColumn, kGatewayColumn, kCameraColumnCount };

class CameraPage {
 public:
  // `recordsWaiting` runs on the channel's receive thread when records have
  // arrived; it must only schedule applyRecords() on the UI thread.
  CameraPage(discovery::HostNetwork& network, std::function<void()> recordsWaiting);
  ~CameraPage() { close(); }
  CameraPage(const CameraPage&) = delete;
  CameraPage& operator=(const CameraPage&) = delete;

  // When the page is set up: reads the PC's gateway, from which the new
  // address and gateway are proposed, and opens the channel. False when the
  // channel could not open (channel().openError() says why): the page still
  // works, but hears nothing.
  bool open();
  // Dotted texts, empty when the PC has no gateway.
  const std::string& proposedAddress() const { return proposedAddress_; }
  const std::string& proposedGateway() const { return proposedGateway_; }

  void search();
  // Closes the channel: when it returns, `recordsWaiting` is never called
  // again. A front-end closes it before anything `recordsWaiting` uses goes.
  void close();

  // Picks the first of the selected rows (the row under the pointer does not
  // matter). False when none of them is a listed row; the pick stays.
  bool pick(std::span<const std::size_t> selectedRows);
  // The picked camera's texts as they came from the wire: a text that is not
  // valid GBK would not survive a round trip through a text box.
  const discovery::CameraRow& picked() const { return picked_; }
  // Whether Apply asks for confirmation: a camera is picked and both new
  // values are filled in (0.0.0.0 counts as blank).
  bool readyToApply(std::uint32_t newAddress, std::uint32_t newGateway) const;
  // Once the user has confirmed: sends the picked camera its new address and
  // gateway (each the address control's value, first field most significant).
  void apply(std::uint32_t newAddress, std::uint32_t newGateway);

  // On the UI thread, when scheduled: applies arrived records for one slice.
  // The front-end tells its view of `changes` when set, and schedules the next
  // slice when `more` is true, going back to its event loop in between.
  RecordSlice applyRecords() { return pacer_.applySlice(); }

  const discovery::MulticastChannel& channel() const { return channel_; }

  // Rows the view has been told of, and their cells' texts (GBK, as on the wire).
  std::size_t rowCount() const { return cameras_.shownRows(); }
  const std::string& cell(std::size_t row, std::size_t column) const;

 private:
  discovery::HostNetwork& network_;
  discovery::ShownCameraList cameras_;
  discovery::RecordQueue inbox_;
  discovery::MulticastChannel channel_;
  RecordPacer pacer_;
  std::string proposedAddress_;
  std::string proposedGateway_;
  discovery::CameraRow picked_;
};

}  // namespace pages
