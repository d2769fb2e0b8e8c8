#include "pages/plan_dialog.h"

#include <algorithm>
#include <unordered_map>

#include "pages/addresses.h"
#include "res/strings.h"

namespace pages {
namespace {

namespace texts = ui::strings;

std::string joined(const std::vector<std::string>& parts) {
  std::string text;
  for (const std::string& part : parts) text += (text.empty() ? "" : " ") + part;
  return text;
}

}  // namespace

std::optional<SitePlan> chooseSitePlan(CameraPage& page, Prompter& prompter) {
  if (!page.readyForBatch()) return std::nullopt;
  const auto file = prompter.chooseFileToOpen({texts::kPlanFileCaption, "", texts::kCsvFilter, "csv"});
  if (!file) return std::nullopt;
  // The name is UTF-8 on every system.
  SitePlan plan = readSitePlanFile(*file, page.decoder());
  if (!plan.rows.empty()) return plan;
  std::vector<std::string> problems;
  for (const PlanProblem& problem : plan.problems) problems.push_back(problem.text);
  prompter.tell({joined(problems), texts::kNoticeCaption, Icon::Exclamation});
  return std::nullopt;
}

PlanDialog::PlanDialog(CameraPage& page, SitePlan plan, PlanDialogView* view)
    : page_(page), plan_(std::move(plan)), view_(view), pc_(page.readPcNetwork()) {
  refresh();
}

void PlanDialog::refresh() {
  // The MACs as shown, each to its first row, so that a long list is read
  // once rather than once per plan row.
  const std::span<const CameraRow> shown = page_.shownRows();
  std::unordered_map<std::string, std::size_t> rowOfMac;
  for (std::size_t row = 0; row < shown.size(); ++row) rowOfMac.try_emplace(page_.decoder()(shown[row].mac), row);
  states_.assign(plan_.rows.size(), {});
  planRowOfShown_.clear();
  for (std::size_t row = 0; row < plan_.rows.size(); ++row) {
    const auto found = rowOfMac.find(plan_.rows[row].mac);
    if (found == rowOfMac.end()) continue;
    states_[row].shown = found->second;
    planRowOfShown_.try_emplace(found->second, row);
  }
  askTheLink();
  judge();
}

void PlanDialog::askTheLink() {
  std::vector<std::uint32_t> ask;
  for (std::size_t row = 0; row < plan_.rows.size(); ++row) {
    const std::uint32_t address = plan_.rows[row].address;
    if (!listed(row) || address == 0 || answers_.contains(address) || asked_.contains(address)) continue;
    if (const auto known = answerWithoutTheLink(pc_.adapters, address)) {
      answers_[address] = *known;
      continue;
    }
    asked_.insert(address);
    ask.push_back(address);
  }
  if (!ask.empty())
    checks_.push_back(page_.checker().check(ask, [this](const AddressAnswer& answer) { answered(answer); }));
}

void PlanDialog::answered(const AddressAnswer& answer) {
  answers_[answeredAddress(answer)] = answer;
  judge();
  if (view_) view_->previewChanged();
}

void PlanDialog::judge() {
  // Which shown cameras hold each address now.
  std::map<std::uint32_t, std::vector<std::size_t>> holders;
  const std::span<const CameraRow> shown = page_.shownRows();
  for (std::size_t row = 0; row < shown.size(); ++row)
    if (const auto address = listedAddressOf(shown[row].ip)) holders[*address].push_back(row);
  for (std::size_t row = 0; row < plan_.rows.size(); ++row) judgeRow(row, holders);
}

std::optional<std::size_t> PlanDialog::planRowOfShown(std::size_t shown) const {
  const auto found = planRowOfShown_.find(shown);
  if (found == planRowOfShown_.end()) return std::nullopt;
  return found->second;
}

void PlanDialog::judgeRow(std::size_t row, const std::map<std::uint32_t, std::vector<std::size_t>>& holders) {
  const SitePlanRow& planned = plan_.rows[row];
  RowState& state = states_[row];
  state.problems.clear();
  state.blocked = false;
  for (const PlanProblem& problem : planned.problems) state.problems.push_back(problem.text);
  // Nothing is sent for a camera not listed, nor for a row that cannot be read.
  if (!listed(row) || planned.address == 0) return;
  const std::string address = dotted(planned.address);
  const auto block = [&](std::string text) {
    state.problems.push_back(std::move(text));
    state.blocked = true;
  };
  // A camera moved elsewhere by this plan gives its address up; any other
  // keeps it.
  const auto movedAway = [&](std::size_t holder) -> std::optional<std::uint32_t> {
    const auto holderRow = planRowOfShown(holder);
    if (!holderRow || plan_.rows[*holderRow].address == planned.address) return std::nullopt;
    return plan_.rows[*holderRow].address;
  };
  const std::span<const CameraRow> shown = page_.shownRows();
  std::set<std::size_t> holdersNamed;
  if (const auto held = holders.find(planned.address); held != holders.end()) {
    for (const std::size_t holder : held->second) {
      if (holder == *state.shown) continue;
      holdersNamed.insert(holder);
      const std::string mac = page_.decoder()(shown[holder].mac);
      if (const auto elsewhere = movedAway(holder))
        state.problems.push_back(texts::planAddressFreedByPlan(planned.line, address, mac, dotted(*elsewhere)));
      else
        block(texts::planAddressListed(planned.line, address, mac));
    }
  }

  const auto answer = answers_.find(planned.address);
  if (answer == answers_.end() || answer->second.use != AddressUse::InUse) return;
  const AddressAnswer& link = answer->second;
  if (link.ownAddress) return block(texts::planAddressOfThisPc(planned.line, address));
  if (answeredByMac(link, planned.mac)) return;
  // A camera the list shows there is named already.
  for (const std::size_t holder : holdersNamed)
    if (answeredByMac(link, page_.decoder()(shown[holder].mac))) return;
  // Another camera of the plan may answer there, though listed elsewhere. (One
  // planned the same address is a duplicate the plan names already.)
  for (const auto& [shownRow, planRow] : planRowOfShown_) {
    if (!answeredByMac(link, plan_.rows[planRow].mac)) continue;
    if (const auto elsewhere = movedAway(shownRow))
      state.problems.push_back(
          texts::planAddressFreedByPlan(planned.line, address, plan_.rows[planRow].mac, dotted(*elsewhere)));
    return;
  }
  block(texts::planAddressTakenOnTheLink(planned.line, address, link.linkAddress));
}

bool PlanDialog::checked(std::size_t row) const {
  return !listed(row) || plan_.rows[row].address == 0 || answers_.contains(plan_.rows[row].address);
}

std::size_t PlanDialog::listedCount() const {
  return static_cast<std::size_t>(
      std::count_if(states_.begin(), states_.end(), [](const RowState& state) { return state.shown.has_value(); }));
}

bool PlanDialog::sendable() const {
  if (!plan_.sendable() || listedCount() == 0) return false;
  for (std::size_t row = 0; row < plan_.rows.size(); ++row)
    if (!checked(row) || states_[row].blocked) return false;
  return true;
}

std::string PlanDialog::checkState(std::size_t row) const {
  if (!listed(row) || plan_.rows[row].address == 0) return {};
  const auto answer = answers_.find(plan_.rows[row].address);
  if (answer == answers_.end()) return texts::kAddressChecking;
  switch (answer->second.use) {
    case AddressUse::Free: return texts::kAddressFree;
    case AddressUse::CannotVerify: return texts::kAddressUnverified;
    case AddressUse::InUse: break;
  }
  return answer->second.ownAddress ? texts::kAddressOfThisPc : texts::addressInUseBy(answer->second.linkAddress);
}

std::string PlanDialog::cell(std::size_t row, std::size_t column) const {
  if (row >= plan_.rows.size()) return {};
  const SitePlanRow& planned = plan_.rows[row];
  const auto addressText = [](std::uint32_t address) { return address == 0 ? std::string() : dotted(address); };
  switch (column) {
    case kPlanMacColumn: return planned.mac;
    case kPlanCurrentColumn:
      return listed(row) ? page_.decoder()(page_.shownRows()[*states_[row].shown].ip) : texts::kNotListed;
    case kPlanNewColumn: return addressText(planned.address);
    case kPlanGatewayColumn: return addressText(planned.gateway);
    case kPlanCheckColumn: return checkState(row);
    case kPlanProblemsColumn: return joined(states_[row].problems);
    default: return {};
  }
}

std::string PlanDialog::summary() const {
  std::vector<std::string> parts;
  for (const PlanProblem& problem : plan_.problems) parts.push_back(problem.text);
  const bool blocked =
      std::any_of(states_.begin(), states_.end(), [](const RowState& state) { return state.blocked; });
  if (!plan_.sendable() || blocked)
    parts.push_back(texts::kPlanNotSendable);
  else if (listedCount() == 0)
    parts.push_back(texts::kPlanNoneListed);
  else
    parts.push_back(texts::planListed(listedCount(), plan_.rows.size()));
  return joined(parts);
}

bool PlanDialog::accept(Prompter& prompter) {
  refresh();
  if (!sendable()) return false;
  if (page_.batchRunning()) {
    prompter.tell({texts::kBatchRunning, texts::kNoticeCaption, Icon::Exclamation});
    return false;
  }
  std::vector<BatchItem> items;
  for (std::size_t row = 0; row < plan_.rows.size(); ++row) {
    if (!listed(row)) continue;
    const CameraRow& camera = page_.shownRows()[*states_[row].shown];
    items.push_back({camera.mac, camera.ip, plan_.rows[row].address, plan_.rows[row].gateway});
  }
  if (!prompter.ask({texts::planConfirm(items.size()), texts::kNoticeCaption, Icon::Question})) return false;
  page_.startPlannedBatch(std::move(items));
  return true;
}

}  // namespace pages
