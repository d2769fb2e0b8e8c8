#include "pages/camera_list.h"

#include <algorithm>

namespace pages {

std::optional<std::size_t> CameraList::addDevice(const discovery::DeviceInfoRecord& record) {
  const std::size_t index = rows_.size();
  if (index >= maxRows_) return std::nullopt;
  if (!rowOfMac_.emplace(record.mac.text(), index).second) return std::nullopt;
  rows_.push_back({std::string(record.mac.text()), std::string(record.ip.text()),
                   std::string(record.gateway.text())});
  return index;
}

std::optional<std::size_t> CameraList::applyIpChange(const discovery::SetIpRecord& record) {
  const auto found = rowOfMac_.find(std::string(record.mac.text()));
  if (found == rowOfMac_.end()) return std::nullopt;
  CameraRow& row = rows_[found->second];
  row.ip = discovery::formatAddress(record.newAddress);
  row.gateway = discovery::formatAddress(record.newGateway);
  return found->second;
}

void ShownCameraList::absorb(std::span<const discovery::DecodedRecord> records) {
  for (const auto& record : records) {
    if (const auto* device = std::get_if<discovery::DeviceInfoRecord>(&record)) {
      cameras_.addDevice(*device);
      continue;
    }
    const auto row = cameras_.applyIpChange(std::get<discovery::SetIpRecord>(record));
    if (!row || *row >= shown_) continue;  // a row the view has yet to hear of shows its latest texts anyway
    firstRewritten_ = std::min(firstRewritten_.value_or(*row), *row);
    lastRewritten_ = std::max(lastRewritten_, *row);
  }
}

ShownCameraList::Changes ShownCameraList::publish() {
  Changes changes{shown_, cameras_.size(), firstRewritten_.has_value(), firstRewritten_.value_or(0), lastRewritten_};
  shown_ = cameras_.size();
  firstRewritten_.reset();
  lastRewritten_ = 0;
  return changes;
}

}  // namespace pages
