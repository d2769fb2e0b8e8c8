// What the camera page does, whatever draws it: it searches through its
// channel, keeps the list of cameras heard and applies their records to it
// in short slices, remembers the picked camera, and runs every flow the page
// offers: Apply with its warnings and confirmation, the batch with its paced
// sends and answer wait, copy and export. It speaks to the user through its
// prompter and waits through its timer, so a front-end only shows its state.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "pages/camera_list.h"
#include "discovery/host_network.h"
#include "pages/address_checker.h"
#include "pages/camera_channel.h"
#include "pages/channel_opening.h"
#include "pages/list_export.h"
#include "pages/pc_network.h"
#include "pages/prompter.h"
#include "pages/record_pacer.h"
#include "pages/timer.h"

namespace pages {

// The PC's network as the pages read it (see pages/startup.h for the system's).
using discovery::HostNetwork;

// The list's columns, in their order on screen (res/strings.h names them).
enum CameraColumn : std::size_t { kMacColumn, kIpColumn, kGatewayColumn, kCameraColumnCount };

// What the page needs from its surroundings, given to its constructor.
struct CameraPageSeams {
  CameraChannel& channel;
  Prompter& prompter;
  Timer& timer;
  AddressChecker& checker;
  discovery::HostNetwork& network;
  GbkDecoder decode;  // the wire's GBK texts as UTF-8, for texts the user reads
};

// The front-end's list, told what to show.
class CameraPageView {
 public:
  virtual ~CameraPageView() = default;
  // Rows [shownBefore, shown) are new; rows firstRewritten..lastRewritten of
  // those shown before may have new addresses, when anyRewritten.
  virtual void rowsChanged(const ShownCameraList::Changes& changes) = 0;
  // Apply's new address is being checked on the link: the page shows it, and
  // takes no other Apply meanwhile.
  virtual void addressCheckRunning(bool running) { (void)running; }
  // proposedAddress() and proposedGateway() were read, after openInBackground().
  virtual void proposalRead() {}
};

// The values of the two address controls (first field most significant,
// blank as 0).
struct NewAddresses {
  std::uint32_t address = 0;
  std::uint32_t gateway = 0;
};

// A camera of a batch and the address and gateway it is planned.
struct BatchItem {
  std::string mac;  // GBK, as on the wire
  std::string currentIp;
  std::uint32_t newAddress = 0;
  std::uint32_t newGateway = 0;
};

// Addresses the link said were taken, and the MAC that answered for each.
using TakenOnTheLink = std::map<std::uint32_t, std::string>;

struct BatchPlan {
  std::vector<BatchItem> items;
  bool ranOut = false;  // the range would run past .254: nothing may be sent
};

class BatchRun;

class CameraPage {
 public:
  CameraPage(CameraPageSeams seams, CameraPageView& view);
  ~CameraPage();
  CameraPage(const CameraPage&) = delete;
  CameraPage& operator=(const CameraPage&) = delete;

  // When the page is set up: reads the PC's gateway, from which the new
  // address and gateway are proposed, and opens the channel. False when the
  // channel could not open: the page still works, but hears nothing.
  bool open();
  // The same for a window, which shows at once: both happen on a worker
  // thread (see ChannelOpening), and the view hears of the proposal when it
  // is known. A search asked for meanwhile is sent once the channel is open;
  // a channel that did not open is told on stderr.
  void openInBackground();
  // Until the channel's outcome is handed to the UI thread; nothing else
  // may touch the channel meanwhile.
  bool channelOpening() const { return opening_ != nullptr; }
  // Whether the channel opened, once that is known.
  std::optional<bool> channelOpened() const { return channelOpened_; }
  // Dotted texts, empty when the PC has no gateway.
  const std::string& proposedAddress() const { return proposedAddress_; }
  const std::string& proposedGateway() const { return proposedGateway_; }

  void search();
  // Closes the channel and cancels what the page has scheduled, an open
  // still running included. A front-end closes it before anything the
  // channel's wake-up uses goes.
  void close();
  // On the UI thread, once the channel's wake-up has run: the records are
  // applied a slice at a time, the view told as they show.
  void recordsArrived();

  // Picks the first of the selected rows (the row under the pointer does not
  // matter). False when none of them is a listed row; the pick stays.
  bool pick(std::span<const std::size_t> selectedRows);
  // The picked camera's texts as they came from the wire.
  const CameraRow& picked() const { return picked_; }

  // Apply: nothing without a picked camera or with a blank value; a clear
  // message for an address no host can have; a warning when the address is
  // listed or the PC's; then the address is checked on the link, without
  // waiting, and a warning names the MAC that holds it; the confirmation;
  // then the request, with the values `read` gives when the user said OK.
  void apply(std::function<NewAddresses()> read);
  bool checkingAddress() const { return applyCheck_ != nullptr; }

  // The selected rows, in list order, on the clipboard.
  void copy(std::span<const std::size_t> selectedRows);
  // The first selected camera's web page, at its listed address.
  void openWebPage(std::span<const std::size_t> selectedRows);
  // The whole list in a CSV file the user chooses; an existing file is
  // replaced only once the new one is whole.
  void exportList();

  // Re-addressing many cameras at once: each camera, in list order, gets the
  // next address counting up from `start` that no one else has: no other
  // listed camera (a camera may keep its own), not the PC, not its gateway
  // `gateway`, no network or broadcast address of the PC's subnets.
  // An address the link said a host holds is passed over too, unless that
  // host is the camera itself.
  BatchPlan planBatch(std::span<const std::string> macs, std::uint32_t start, std::uint32_t gateway,
                      const PcNetwork& pc, const TakenOnTheLink& taken = {}) const;
  // One batch at a time: while one sends or awaits its answers, no other
  // starts (the front-end disables its entry, and startBatch() says why).
  bool batchRunning() const;
  // Before the batch dialog opens: false, and the user told why, while one runs.
  bool readyForBatch();
  // Sends the cameras their addresses, a few milliseconds apart, planning
  // again from the list as it stands before each send; then awaits their
  // answers and names those that refused or stayed silent.
  void startBatch(std::vector<std::string> macs, std::uint32_t start, std::uint32_t gateway,
                  TakenOnTheLink taken = {});
  // The same for cameras whose addresses are given (a site plan): nothing is
  // planned again.
  void startPlannedBatch(std::vector<BatchItem> items);

  PcNetwork readPcNetwork() const { return PcNetwork::read(seams_.network); }
  const CameraChannel& channel() const { return seams_.channel; }
  const GbkDecoder& decoder() const { return seams_.decode; }
  AddressChecker& checker() { return seams_.checker; }

  // Rows the view has been told of, and their cells' texts (GBK, as on the wire).
  std::size_t rowCount() const { return cameras_.shownRows(); }
  const std::string& cell(std::size_t row, std::size_t column) const;
  // Typing in the list: the first row from `from` on, wrapping round, whose
  // MAC as shown begins with `typed` (UTF-8), letters in either case.
  std::optional<std::size_t> rowStartingWith(std::string_view typed, std::size_t from) const;
  // The listed row of this MAC text, shown or not.
  const CameraRow* rowOf(const std::string& mac) const;
  std::span<const CameraRow> shownRows() const;

 private:
  friend class BatchRun;

  void propose(const std::string& gateway);
  void openEnded(bool opened);
  void applySlice();
  std::optional<std::string> conflictOf(const NewAddresses& values, const PcNetwork& pc) const;
  std::vector<CameraRow> rowsInListOrder(std::span<const std::size_t> rows) const;
  void tell(const std::string& text, Icon icon);
  bool ask(const std::string& text, Icon icon);
  void confirmAndSend(const std::function<NewAddresses()>& read);
  // The warning for an address a host on the link answered for; nothing when
  // that host is the picked camera itself or the PC.
  std::optional<std::string> inUseWarning(const AddressAnswer& answer) const;

  CameraPageSeams seams_;
  CameraPageView& view_;
  ShownCameraList cameras_;
  RecordPacer pacer_;
  Timer::Handle sliceTask_ = 0;
  std::string proposedAddress_;
  std::string proposedGateway_;
  CameraRow picked_;
  std::unique_ptr<BatchRun> batch_;
  std::unique_ptr<RunningCheck> applyCheck_;
  std::unique_ptr<ChannelOpening> opening_;
  std::optional<bool> channelOpened_;
  bool searchWaiting_ = false;  // asked for while the channel opens
};

// A check that could not run is no reason to stop; the log says why.
void logUnverified(const AddressAnswer& answer);

}  // namespace pages
