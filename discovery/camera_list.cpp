#include "discovery/camera_list.h"

namespace discovery {

std::optional<std::size_t> CameraList::addDevice(const DeviceInfoRecord& record) {
  const std::size_t index = rows_.size();
  if (index >= maxRows_) return std::nullopt;
  if (!rowOfMac_.emplace(record.mac.text(), index).second) return std::nullopt;
  rows_.push_back({std::string(record.mac.text()), std::string(record.ip.text()),
                   std::string(record.gateway.text())});
  return index;
}

std::optional<std::size_t> CameraList::applyIpChange(const SetIpRecord& record) {
  const auto found = rowOfMac_.find(std::string(record.mac.text()));
  if (found == rowOfMac_.end()) return std::nullopt;
  CameraRow& row = rows_[found->second];
  row.ip = formatAddress(record.newAddress);
  row.gateway = formatAddress(record.newGateway);
  return found->second;
}

}  // namespace discovery
