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
#include <optional>
#include <set>
#include <span>
#include <string>
#include <vector>

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

  // Whether `newAddress` is already listed for a camera other than the picked
  // one, or is one of the PC's own: Apply warns before its confirmation.
  struct AddressConflict {
    bool thisPc = false;
    std::string mac;  // the camera listed with it (GBK), when not the PC
  };
  std::optional<AddressConflict> conflictOf(std::uint32_t newAddress) const;

  // Re-addressing many cameras at once: each selected camera, in list order,
  // gets the next free address counting up from `start` (address_plan.h),
  // never one listed for another camera, the PC's own or the gateway.
  struct BatchItem {
    std::string mac;  // GBK, as on the wire
    std::string currentIp;
    std::uint32_t newAddress = 0;
  };
  struct BatchPlan {
    std::vector<BatchItem> items;
    bool ranOut = false;  // the range would run past .254: nothing may be sent
  };
  BatchPlan planBatch(std::span<const std::size_t> selectedRows, std::uint32_t start, std::uint32_t gateway) const;
  // Sends are spread out by the front-end, one per call to sendNextOfBatch(),
  // so that no burst is lost on a slow link. False when none was left.
  void startBatch(std::vector<BatchItem> items, std::uint32_t gateway);
  bool sendNextOfBatch();
  // The cameras of the last batch whose rows do not show their new address:
  // a camera's answer is its confirmation, as with Apply.
  std::vector<BatchItem> unansweredOfBatch() const;
  std::uint32_t batchGateway() const { return batchGateway_; }

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
  std::vector<BatchItem> batch_;
  std::uint32_t batchGateway_ = 0;
  std::size_t batchSent_ = 0;

  std::optional<std::uint32_t> listedAddress(std::size_t row) const;
  std::set<std::uint32_t> addressesOfThisPc() const;
};

}  // namespace pages
