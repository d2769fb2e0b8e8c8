#include "pages/plan_run.h"

#include "pages/addresses.h"
#include "pages/batch_run.h"

namespace pages {

std::optional<std::size_t> shownRowOf(const CameraPage& page, std::string_view shownMac) {
  const std::span<const CameraRow> rows = page.shownRows();
  for (std::size_t row = 0; row < rows.size(); ++row)
    if (page.decoder()(rows[row].mac) == shownMac) return row;
  return std::nullopt;
}

std::vector<PlannedChange> listedChanges(const CameraPage& page, const SitePlan& plan) {
  std::vector<PlannedChange> changes;
  for (const SitePlanRow& row : plan.rows)
    if (const auto shown = shownRowOf(page, row.mac))
      changes.push_back({page.shownRows()[*shown].mac, row.address, row.gateway});
  return changes;
}

ChangeOutcome outcomeOf(const CameraPage& page, const ObservedChannel& channel, const PlannedChange& change) {
  const CameraRow* row = page.rowOf(change.mac);
  if (row && listedAddressOf(row->ip) == change.address) return ChangeOutcome::kMoved;
  return channel.answeredSetIp(change.mac) ? ChangeOutcome::kKept : ChangeOutcome::kNoAnswer;
}

PlanSend::PlanSend(CameraChannel& channel, Timer& timer, std::vector<PlannedChange> changes,
                   std::function<void()> sent)
    : channel_(channel), timer_(timer), changes_(std::move(changes)), sent_(std::move(sent)) {}

void PlanSend::sendNext() {
  task_ = 0;
  if (next_ == changes_.size()) return sent_();
  const PlannedChange& change = changes_[next_++];
  channel_.sendSetIp(change.mac, change.address, change.gateway);
  task_ = timer_.runAfter(kBatchSpacing, [this] { sendNext(); });
}

}  // namespace pages
