#include "ui/camera_list_model.h"

#include <algorithm>

#include "ui/gbk.h"
#include "ui/res/strings.h"

namespace ui {

void CameraListModel::absorb(std::span<const discovery::DecodedRecord> records) {
  for (const auto& record : records) {
    if (const auto* device = std::get_if<discovery::DeviceInfoRecord>(&record)) {
      cameras_.addDevice(*device);
      continue;
    }
    const auto row = cameras_.applyIpChange(std::get<discovery::SetIpRecord>(record));
    const int changed = row ? static_cast<int>(*row) : announcedRows_;
    if (changed >= announcedRows_) continue;  // announced as a new row anyway
    firstChanged_ = lastChanged_ < firstChanged_ ? changed : std::min(firstChanged_, changed);
    lastChanged_ = std::max(lastChanged_, changed);
  }
}

void CameraListModel::publish() {
  if (lastChanged_ >= firstChanged_) emit dataChanged(index(firstChanged_, IpColumn), index(lastChanged_, GatewayColumn));
  firstChanged_ = 0;
  lastChanged_ = -1;
  const int total = static_cast<int>(cameras_.size());
  if (total > announcedRows_) {
    beginInsertRows({}, announcedRows_, total - 1);
    announcedRows_ = total;
    endInsertRows();
  }
}

int CameraListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : announcedRows_; }

int CameraListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant CameraListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= announcedRows_ || (role != Qt::DisplayRole && role != Qt::AccessibleTextRole))
    return {};
  const discovery::CameraRow& camera = cameraAt(index.row());
  switch (index.column()) {
    case MacColumn: return fromGbk(camera.mac);
    case IpColumn: return fromGbk(camera.ip);
    case GatewayColumn: return fromGbk(camera.gateway);
    default: return {};
  }
}

QVariant CameraListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal) return {};
  if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
  if (role != Qt::DisplayRole || section < 0 || section >= ColumnCount) return {};
  return QString::fromUtf8(strings::kCameraColumns[static_cast<std::size_t>(section)]);
}

}  // namespace ui
