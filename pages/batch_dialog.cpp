#include "pages/batch_dialog.h"

#include <set>

#include "pages/addresses.h"
#include "res/strings.h"

namespace pages {

BatchDialog::BatchDialog(CameraPage& page, std::span<const std::size_t> selectedRows)
    : page_(page), pc_(page.readPcNetwork()) {
  for (const std::size_t row : std::set<std::size_t>(selectedRows.begin(), selectedRows.end()))
    if (row < page.rowCount()) macs_.push_back(page.cell(row, kMacColumn));
}

void BatchDialog::replan(std::uint32_t start, std::uint32_t gateway) {
  plan_ = page_.planBatch(macs_, start, gateway, pc_);
}

std::string BatchDialog::cell(std::size_t row, std::size_t column) const {
  if (row >= plan_.items.size()) return {};
  const BatchItem& item = plan_.items[row];
  switch (column) {
    case 0: return item.mac;
    case 1: return item.currentIp;
    case 2: return dotted(item.newAddress);
    default: return {};
  }
}

bool BatchDialog::accept(std::uint32_t start, std::uint32_t gateway, Prompter& prompter) {
  if (start == 0 || gateway == 0) return false;
  const auto refuse = [&](const std::string& text) {
    prompter.tell({text, ui::strings::kNoticeCaption, Icon::Exclamation});
    return false;
  };
  if (!canBeHostAddress(start)) return refuse(ui::strings::notAHostAddress(dotted(start)));
  if (!canBeHostAddress(gateway)) return refuse(ui::strings::notAHostGateway(dotted(gateway)));
  if (isNetworkOrBroadcastOf(gateway, gateway, 24)) return refuse(ui::strings::batchGatewayNotAHost(dotted(gateway)));
  if (page_.batchRunning()) return refuse(ui::strings::kBatchRunning);
  // From the list as it stands now, whatever was heard since the last edit.
  replan(start, gateway);
  if (plan_.ranOut) return refuse(ui::strings::batchRanOut(dotted(start), macs_.size()));
  if (plan_.items.empty()) return false;
  const std::string confirm = ui::strings::batchConfirm(plan_.items.size(), dotted(plan_.items.front().newAddress),
                                                        dotted(plan_.items.back().newAddress));
  if (!prompter.ask({confirm, ui::strings::kNoticeCaption, Icon::Question})) return false;
  page_.startBatch(macs_, start, gateway);
  return true;
}

}  // namespace pages
