#include "pages/batch_dialog.h"

#include <algorithm>

#include "pages/addresses.h"
#include "res/strings.h"

namespace pages {

BatchDialog::BatchDialog(CameraPage& page, std::span<const std::size_t> selectedRows, BatchDialogView* view)
    : page_(page), view_(view), pc_(page.readPcNetwork()) {
  for (const std::size_t row : std::set<std::size_t>(selectedRows.begin(), selectedRows.end()))
    if (row < page.rowCount()) macs_.push_back(page.cell(row, kMacColumn));
}

void BatchDialog::replan(std::uint32_t start, std::uint32_t gateway) {
  start_ = start;
  gateway_ = gateway;
  plan_ = page_.planBatch(macs_, start, gateway, pc_, taken_);
  askTheLink();
}

void BatchDialog::askTheLink() {
  std::vector<std::uint32_t> ask;
  for (const BatchItem& item : plan_.items) {
    if (answers_.contains(item.newAddress) || asked_.contains(item.newAddress)) continue;
    if (const auto known = answerWithoutTheLink(pc_.adapters, item.newAddress)) {
      answers_[item.newAddress] = *known;
      continue;
    }
    asked_.insert(item.newAddress);
    ask.push_back(item.newAddress);
  }
  if (!ask.empty())
    checks_.push_back(page_.checker().check(ask, [this](const AddressAnswer& answer) { answered(answer); }));
}

void BatchDialog::answered(const AddressAnswer& answer) {
  const std::uint32_t address = discovery::toFieldsValue(answer.address);
  answers_[address] = answer;
  if (answer.use == AddressUse::InUse) {
    taken_[address] = answer.linkAddress;
    for (const BatchItem& item : plan_.items)
      if (item.newAddress == address && !discovery::sameLinkAddress(item.mac, answer.linkAddress))
        passedOver_[item.mac] = ui::strings::addressPassedOver(dotted(address), answer.linkAddress);
    replan(start_, gateway_);
  }
  if (view_) view_->previewChanged();
}

bool BatchDialog::checked() const {
  return std::all_of(plan_.items.begin(), plan_.items.end(),
                     [&](const BatchItem& item) { return answers_.contains(item.newAddress); });
}

std::string BatchDialog::state(const BatchItem& item) const {
  const auto answer = answers_.find(item.newAddress);
  std::string text = answer == answers_.end()                               ? ui::strings::kAddressChecking
                     : answer->second.use == AddressUse::CannotVerify       ? ui::strings::kAddressUnverified
                                                                            : ui::strings::kAddressFree;
  if (const auto passed = passedOver_.find(item.mac); passed != passedOver_.end()) text += "，" + passed->second;
  return text;
}

std::string BatchDialog::cell(std::size_t row, std::size_t column) const {
  if (row >= plan_.items.size()) return {};
  const BatchItem& item = plan_.items[row];
  switch (column) {
    case kBatchMacColumn: return item.mac;
    case kBatchCurrentColumn: return item.currentIp;
    case kBatchNewColumn: return dotted(item.newAddress);
    case kBatchCheckColumn: return state(item);
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
  if (plan_.items.empty() || !checked()) return false;
  const std::string confirm = ui::strings::batchConfirm(plan_.items.size(), dotted(plan_.items.front().newAddress),
                                                        dotted(plan_.items.back().newAddress));
  if (!prompter.ask({confirm, ui::strings::kNoticeCaption, Icon::Question})) return false;
  page_.startBatch(macs_, start, gateway, taken_);
  return true;
}

}  // namespace pages
