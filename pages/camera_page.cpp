#include "pages/camera_page.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>
#include <utility>

#include "discovery/gateway.h"
#include "pages/address_plan.h"
#include "pages/addresses.h"
#include "pages/batch_run.h"
#include "pages/whole_file.h"
#include "res/strings.h"

namespace pages {

CameraPage::CameraPage(CameraPageSeams seams, CameraPageView& view)
    : seams_(std::move(seams)),
      view_(view),
      pacer_([this] { return seams_.channel.takeRecords(); }, cameras_,
             [this](std::span<const discovery::DecodedRecord> records) {
               if (batch_) batch_->observe(records);
             }) {}

CameraPage::~CameraPage() { close(); }

void CameraPage::propose(const std::string& gateway) {
  proposedAddress_ = discovery::defaultAddress(gateway);
  proposedGateway_ = discovery::defaultGateway(gateway);
}

bool CameraPage::open() {
  std::string gateway;
  discovery::readGateway(seams_.network, gateway);
  propose(gateway);
  channelOpened_ = seams_.channel.open();
  return *channelOpened_;
}

void CameraPage::openInBackground() {
  const auto gatewayRead = [this](const std::string& gateway) {
    propose(gateway);
    view_.proposalRead();
  };
  opening_ = std::make_unique<ChannelOpening>(seams_.channel, seams_.network, seams_.timer, gatewayRead,
                                              [this](bool opened) { openEnded(opened); });
}

void CameraPage::openEnded(bool opened) {
  opening_.reset();
  channelOpened_ = opened;
  if (!opened) std::fprintf(stderr, "tovalen: no camera can be heard: %s\n", seams_.channel.openError().c_str());
  if (std::exchange(searchWaiting_, false)) search();
}

void CameraPage::search() {
  if (channelOpening())
    searchWaiting_ = true;
  else
    seams_.channel.sendSearch();
}

void CameraPage::close() {
  applyCheck_.reset();
  // Before the channel closes, so that no open outlasts the close.
  opening_.reset();
  channelOpened_.reset();
  searchWaiting_ = false;
  seams_.channel.close();
  seams_.timer.cancel(sliceTask_);
  sliceTask_ = 0;
  batch_.reset();
}

void CameraPage::recordsArrived() {
  // A timer, not a call now, so that what else waits on the UI thread (a
  // repaint, a click) runs between two slices.
  if (sliceTask_ == 0) sliceTask_ = seams_.timer.runAfter(std::chrono::milliseconds(0), [this] { applySlice(); });
}

void CameraPage::applySlice() {
  sliceTask_ = 0;
  const RecordSlice slice = pacer_.applySlice();
  if (slice.changes) view_.rowsChanged(*slice.changes);
  if (slice.more) recordsArrived();
}

bool CameraPage::pick(std::span<const std::size_t> selectedRows) {
  if (selectedRows.empty()) return false;
  const std::size_t first = *std::min_element(selectedRows.begin(), selectedRows.end());
  if (first >= rowCount()) return false;
  picked_ = cameras_.cameras().row(first);
  return true;
}

const std::string& CameraPage::cell(std::size_t row, std::size_t column) const {
  static const std::string none;
  if (row >= rowCount()) return none;
  const CameraRow& camera = cameras_.cameras().row(row);
  switch (column) {
    case kMacColumn: return camera.mac;
    case kIpColumn: return camera.ip;
    case kGatewayColumn: return camera.gateway;
    default: return none;
  }
}

std::optional<std::size_t> CameraPage::rowStartingWith(std::string_view typed, std::size_t from) const {
  const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  const auto startsWithTyped = [&](const std::string& shown) {
    return shown.size() >= typed.size() &&
           std::equal(typed.begin(), typed.end(), shown.begin(), [&](char a, char b) { return lower(a) == lower(b); });
  };
  const std::size_t rows = rowCount();
  for (std::size_t step = 0; step < rows; ++step) {
    const std::size_t row = (from + step) % rows;
    if (startsWithTyped(seams_.decode(cell(row, kMacColumn)))) return row;
  }
  return std::nullopt;
}

const CameraRow* CameraPage::rowOf(const std::string& mac) const { return cameras_.cameras().find(mac); }

std::span<const CameraRow> CameraPage::shownRows() const {
  return cameras_.cameras().rows().first(rowCount());
}

void CameraPage::tell(const std::string& text, Icon icon) {
  seams_.prompter.tell({text, ui::strings::kNoticeCaption, icon});
}

bool CameraPage::ask(const std::string& text, Icon icon) {
  return seams_.prompter.ask({text, ui::strings::kNoticeCaption, icon});
}

std::optional<std::string> CameraPage::conflictOf(const NewAddresses& values, const PcNetwork& pc) const {
  const std::string address = dotted(values.address);
  if (pc.addresses.contains(values.address)) return ui::strings::addressOfThisPc(address);
  if (pc.gateways.contains(values.address) || values.address == values.gateway)
    return ui::strings::addressOfGateway(address);
  for (const CameraRow& row : shownRows())
    if (row.mac != picked_.mac && listedAddressOf(row.ip) == values.address)
      return ui::strings::addressListed(address, seams_.decode(row.mac));
  return std::nullopt;
}

void CameraPage::apply(std::function<NewAddresses()> read) {
  if (applyCheck_) return;
  const auto ready = [&](const NewAddresses& values) {
    return !picked_.mac.empty() && values.address != 0 && values.gateway != 0;
  };
  const NewAddresses values = read();
  if (!ready(values)) return;
  if (!canBeHostAddress(values.address)) return tell(ui::strings::notAHostAddress(dotted(values.address)), Icon::Exclamation);
  if (!canBeHostAddress(values.gateway)) return tell(ui::strings::notAHostGateway(dotted(values.gateway)), Icon::Exclamation);
  const PcNetwork pc = readPcNetwork();
  if (const auto conflict = conflictOf(values, pc); conflict && !ask(*conflict, Icon::Exclamation)) return;
  if (const auto known = answerWithoutTheLink(pc.adapters, values.address)) {
    logUnverified(*known);
    return confirmAndSend(read);
  }
  view_.addressCheckRunning(true);
  applyCheck_ = seams_.checker.check({values.address}, [this, read](const AddressAnswer& answer) {
    const auto done = std::move(applyCheck_);
    view_.addressCheckRunning(false);
    logUnverified(answer);
    if (const auto warning = inUseWarning(answer); warning && !ask(*warning, Icon::Exclamation)) return;
    confirmAndSend(read);
  });
}

void CameraPage::confirmAndSend(const std::function<NewAddresses()>& read) {
  if (!ask(ui::strings::kConfirmChange, Icon::Question)) return;
  // Read again: the values are those in force when the user said OK.
  const NewAddresses confirmed = read();
  if (!picked_.mac.empty() && confirmed.address != 0 && confirmed.gateway != 0 &&
      canBeHostAddress(confirmed.address) && canBeHostAddress(confirmed.gateway))
    seams_.channel.sendSetIp(picked_.mac, confirmed.address, confirmed.gateway);
}

std::optional<std::string> CameraPage::inUseWarning(const AddressAnswer& answer) const {
  if (answer.use != AddressUse::InUse || answer.ownAddress) return std::nullopt;
  if (discovery::sameLinkAddress(picked_.mac, answer.linkAddress)) return std::nullopt;
  const std::string address = dotted(discovery::toFieldsValue(answer.address));
  for (const CameraRow& row : shownRows())
    if (discovery::sameLinkAddress(row.mac, answer.linkAddress))
      return ui::strings::addressAnsweredByCamera(address, answer.linkAddress, seams_.decode(row.mac));
  return ui::strings::addressAnsweredOnTheLink(address, answer.linkAddress);
}

void logUnverified(const AddressAnswer& answer) {
  if (answer.use == AddressUse::CannotVerify)
    std::fprintf(stderr, "tovalen: %s not checked on the link: %s\n",
                 dotted(discovery::toFieldsValue(answer.address)).c_str(), answer.reason.c_str());
}

std::vector<CameraRow> CameraPage::rowsInListOrder(std::span<const std::size_t> rows) const {
  std::set<std::size_t> ordered(rows.begin(), rows.end());
  std::vector<CameraRow> listed;
  for (const std::size_t row : ordered)
    if (row < rowCount()) listed.push_back(cameras_.cameras().row(row));
  return listed;
}

void CameraPage::copy(std::span<const std::size_t> selectedRows) {
  seams_.prompter.copyToClipboard(copiedText(rowsInListOrder(selectedRows), seams_.decode));
}

void CameraPage::openWebPage(std::span<const std::size_t> selectedRows) {
  const std::vector<CameraRow> rows = rowsInListOrder(selectedRows);
  if (rows.empty()) return;
  if (const auto address = listedAddressOf(rows.front().ip))
    seams_.prompter.openInBrowser("http://" + dotted(*address) + "/");
}

void CameraPage::exportList() {
  const auto path = seams_.prompter.chooseFileToSave(
      {ui::strings::kExportCaption, ui::strings::kExportFileName, ui::strings::kCsvFilter, "csv"});
  if (!path) return;
  const WholeFileResult written = writeWholeFile(*path, csvText(shownRows(), seams_.decode));
  if (written.ok) return;
  std::fprintf(stderr, "tovalen: export to %s failed: %s\n", path->c_str(), written.error.c_str());
  tell(written.replacedNothing ? ui::strings::exportFailed(*path) : ui::strings::exportFailedKeptOld(*path),
       Icon::Exclamation);
}

BatchPlan CameraPage::planBatch(std::span<const std::string> macs, std::uint32_t start, std::uint32_t gateway,
                                const PcNetwork& pc, const TakenOnTheLink& taken) const {
  // Who holds each listed address now.
  std::multimap<std::uint32_t, const std::string*> holders;
  for (const CameraRow& row : shownRows())
    if (const auto address = listedAddressOf(row.ip)) holders.emplace(*address, &row.mac);
  std::vector<const CameraRow*> cameras;
  for (const std::string& mac : macs)
    if (const CameraRow* row = rowOf(mac)) cameras.push_back(row);

  const auto usable = [&](std::uint32_t address, std::size_t camera) {
    if (!canBeHostAddress(address) || address == gateway || pc.reserves(address) || pc.gateways.contains(address))
      return false;
    if (const auto holder = taken.find(address);
        holder != taken.end() && !discovery::sameLinkAddress(holder->second, cameras[camera]->mac))
      return false;
    const auto [first, last] = holders.equal_range(address);
    return std::all_of(first, last, [&](const auto& holder) { return *holder.second == cameras[camera]->mac; });
  };
  const AddressPlan addresses = planAddresses(start, cameras.size(), usable);
  BatchPlan plan;
  plan.ranOut = addresses.ranOut;
  if (plan.ranOut) return plan;
  for (std::size_t i = 0; i < cameras.size(); ++i)
    plan.items.push_back({cameras[i]->mac, cameras[i]->ip, addresses.addresses[i], gateway});
  return plan;
}

bool CameraPage::batchRunning() const { return batch_ && !batch_->finished(); }

bool CameraPage::readyForBatch() {
  if (!batchRunning()) return true;
  tell(ui::strings::kBatchRunning, Icon::Exclamation);
  return false;
}

void CameraPage::startBatch(std::vector<std::string> macs, std::uint32_t start, std::uint32_t gateway,
                            TakenOnTheLink taken) {
  if (!readyForBatch()) return;
  batch_ = std::make_unique<BatchRun>(*this, BatchRun::Consecutive{std::move(macs), start, gateway, std::move(taken)});
  batch_->start();
}

void CameraPage::startPlannedBatch(std::vector<BatchItem> items) {
  if (!readyForBatch()) return;
  batch_ = std::make_unique<BatchRun>(*this, std::move(items));
  batch_->start();
}

}  // namespace pages
