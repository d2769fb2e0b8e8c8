// What the batch dialog does, whatever draws it: it previews the plan for
// the selected cameras as the user edits the start address and the gateway,
// and at OK checks the values, plans again from the list as it stands,
// confirms and starts the batch.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "pages/camera_page.h"
#include "pages/pc_network.h"
#include "pages/prompter.h"

namespace pages {

class BatchDialog {
 public:
  // The PC's network is read now, once, not at every keystroke.
  BatchDialog(CameraPage& page, std::span<const std::size_t> selectedRows);

  const std::string& proposedStart() const { return page_.proposedAddress(); }
  const std::string& proposedGateway() const { return page_.proposedGateway(); }

  // The preview for these values of the two address controls.
  void replan(std::uint32_t start, std::uint32_t gateway);
  const BatchPlan& plan() const { return plan_; }
  // A preview row's cell: MAC and current address as on the wire (GBK), the
  // new address dotted.
  std::string cell(std::size_t row, std::size_t column) const;

  // OK: true when the user confirmed and the batch has started, so that the
  // dialog closes. Blank values do nothing; bad ones and a range that runs
  // out say why through `prompter` (whose boxes belong to the dialog).
  bool accept(std::uint32_t start, std::uint32_t gateway, Prompter& prompter);

 private:
  CameraPage& page_;
  std::vector<std::string> macs_;  // the selected cameras, in list order
  PcNetwork pc_;
  BatchPlan plan_;
};

}  // namespace pages
