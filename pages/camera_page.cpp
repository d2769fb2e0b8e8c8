#include "pages/camera_page.h"

#include <algorithm>
#include <utility>

#include "discovery/gateway.h"
#include "pages/address_plan.h"

namespace pages {

CameraPage::CameraPage(discovery::HostNetwork& network, std::function<void()> recordsWaiting)
    : network_(network),
      inbox_(std::move(recordsWaiting)),
      channel_(inbox_, network),
      pacer_(inbox_, cameras_) {}


bool CameraPage::open() {
  std::string gateway;
  discovery::readGateway(network_, gateway);
  proposedAddress_ = discovery::defaultAddress(gateway);
  proposedGateway_ = discovery::defaultGateway(gateway);
  return channel_.open() == 1;
}

void CameraPage::search() { channel_.sendSearch(); }

void CameraPage::close() { channel_.close(); }

bool CameraPage::pick(std::span<const std::size_t> selectedRows) {
  if (selectedRows.empty()) return false;
  const std::size_t first = *std::min_element(selectedRows.begin(), selectedRows.end());
  if (first >= cameras_.shownRows()) return false;
  picked_ = cameras_.cameras().row(first);
  return true;
}

bool CameraPage::readyToApply(std::uint32_t newAddress, std::uint32_t newGateway) const {
  return !picked_.mac.empty() && newAddress != 0 && newGateway != 0;
}

void CameraPage::apply(std::uint32_t newAddress, std::uint32_t newGateway) {
  if (readyToApply(newAddress, newGateway)) channel_.sendSetIp(picked_.mac, newAddress, newGateway);
}

const std::string& CameraPage::cell(std::size_t row, std::size_t column) const {
  static const std::string none;
  if (row >= cameras_.shownRows()) return none;
  const discovery::CameraRow& camera = cameras_.cameras().row(row);
  switch (column) {
    case kMacColumn: return camera.mac;
    case kIpColumn: return camera.ip;
    case kGatewayColumn: return camera.gateway;
    default: return none;
  }
}

std::optional<std::uint32_t> CameraPage::listedAddress(std::size_t row) const {
  const auto address = discovery::parseAddress(cell(row, kIpColumn));
  if (!address) return std::nullopt;
  return discovery::toFieldsValue(*address);
}

std::set<std::uint32_t> CameraPage::addressesOfThisPc() const {
  std::set<std::uint32_t> own;
  for (const discovery::Adapter& adapter : network_.adapters().value_or(std::vector<discovery::Adapter>{}))
    for (const discovery::AssignedAddress& assigned : adapter.addresses)
      own.insert(discovery::toFieldsValue(assigned.address));
  return own;
}

std::optional<CameraPage::AddressConflict> CameraPage::conflictOf(std::uint32_t newAddress) const {
  if (addressesOfThisPc().contains(newAddress)) return AddressConflict{true, {}};
  for (std::size_t row = 0; row < rowCount(); ++row)
    if (cell(row, kMacColumn) != picked_.mac && listedAddress(row) == newAddress)
      return AddressConflict{false, cell(row, kMacColumn)};
  return std::nullopt;
}

CameraPage::BatchPlan CameraPage::planBatch(std::span<const std::size_t> selectedRows, std::uint32_t start,
                                            std::uint32_t gateway) const {
  std::set<std::size_t> selected;
  for (const std::size_t row : selectedRows)
    if (row < rowCount()) selected.insert(row);
  std::set<std::uint32_t> taken = addressesOfThisPc();
  taken.insert(gateway);
  for (std::size_t row = 0; row < rowCount(); ++row)
    if (!selected.contains(row))
      if (const auto address = listedAddress(row)) taken.insert(*address);

  const AddressPlan addresses = planAddresses(start, selected.size(), taken);
  BatchPlan plan;
  plan.ranOut = addresses.ranOut;
  if (plan.ranOut) return plan;
  std::size_t next = 0;
  for (const std::size_t row : selected)
    plan.items.push_back({cell(row, kMacColumn), cell(row, kIpColumn), addresses.addresses[next++]});
  return plan;
}

void CameraPage::startBatch(std::vector<BatchItem> items, std::uint32_t gateway) {
  batch_ = std::move(items);
  batchGateway_ = gateway;
  batchSent_ = 0;
}

bool CameraPage::sendNextOfBatch() {
  if (batchSent_ >= batch_.size()) return false;
  const BatchItem& item = batch_[batchSent_++];
  channel_.sendSetIp(item.mac, item.newAddress, batchGateway_);
  return true;
}

std::vector<CameraPage::BatchItem> CameraPage::unansweredOfBatch() const {
  std::vector<BatchItem> unanswered;
  for (const BatchItem& item : batch_) {
    bool answered = false;
    for (std::size_t row = 0; row < rowCount() && !answered; ++row)
      answered = cell(row, kMacColumn) == item.mac && listedAddress(row) == item.newAddress;
    if (!answered) unanswered.push_back(item);
  }
  return unanswered;
}

}  // namespace pages
