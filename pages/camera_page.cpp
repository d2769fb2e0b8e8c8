#include "pages/camera_page.h"

#include <algorithm>
#include <utility>

#include "discovery/gateway.h"

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

}  // namespace pages
