// What the batch dialog does, whatever draws it: it previews the plan for
// the selected cameras as the user edits the start address and the gateway,
// checks every planned address on the link at once (one found in use is
// passed over, and the next address checked too), and at OK, once every
// planned address has its answer, checks the values, plans again from the
// list as it stands, confirms and starts the batch.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "pages/address_checker.h"
#include "pages/camera_page.h"
#include "pages/pc_network.h"
#include "pages/prompter.h"

namespace pages {

// The preview's columns (res/strings.h names them).
enum BatchColumn : std::size_t { kBatchMacColumn, kBatchCurrentColumn, kBatchNewColumn, kBatchCheckColumn };

// Told when the preview's rows or their states change.
class BatchDialogView {
 public:
  virtual ~BatchDialogView() = default;
  virtual void previewChanged() = 0;
};

class BatchDialog {
 public:
  // The PC's network is read now, once, not at every keystroke.
  BatchDialog(CameraPage& page, std::span<const std::size_t> selectedRows, BatchDialogView* view = nullptr);

  const std::string& proposedStart() const { return page_.proposedAddress(); }
  const std::string& proposedGateway() const { return page_.proposedGateway(); }

  // The preview for these values of the two address controls; the planned
  // addresses not known yet are asked of the link.
  void replan(std::uint32_t start, std::uint32_t gateway);
  const BatchPlan& plan() const { return plan_; }
  // A preview row's cell: MAC and current address as on the wire (GBK), the
  // new address dotted, what the link said of it (UTF-8).
  std::string cell(std::size_t row, std::size_t column) const;
  // Every planned address has its answer: OK may go on.
  bool checked() const;

  // OK: true when the user confirmed and the batch has started, so that the
  // dialog closes. Blank values do nothing, nor does OK before every planned
  // address is checked; bad values and a range that runs out say why
  // through `prompter` (whose boxes belong to the dialog).
  bool accept(std::uint32_t start, std::uint32_t gateway, Prompter& prompter);

 private:
  void askTheLink();
  void answered(const AddressAnswer& answer);
  std::string state(const BatchItem& item) const;

  CameraPage& page_;
  BatchDialogView* view_;
  std::vector<std::string> macs_;  // the selected cameras, in list order
  PcNetwork pc_;
  std::uint32_t start_ = 0;
  std::uint32_t gateway_ = 0;
  BatchPlan plan_;
  std::map<std::uint32_t, AddressAnswer> answers_;
  std::set<std::uint32_t> asked_;
  TakenOnTheLink taken_;
  std::map<std::string, std::string> passedOver_;  // MAC → why its first address went
  std::vector<std::unique_ptr<RunningCheck>> checks_;
};

}  // namespace pages
