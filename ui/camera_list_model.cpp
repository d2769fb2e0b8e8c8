#include "ui/camera_list_model.h"

#include <algorithm>

#include "ui/gbk.h"

namespace ui {

void CameraListModel::apply(std::span<const discovery::DecodedRecord> records) {
  int firstChanged = announcedRows_;
  int lastChanged = -1;
  for (const auto& record : records) {
    if (const auto* device = std::get_if<discovery::DeviceInfoRecord>(&record)) {
      cameras_.addDevice(*device);
    } else if (const auto row = cameras_.applyIpChange(std::get<discovery::SetIpRecord>(record))) {
      const int changed = static_cast<int>(*row);
      if (changed < announcedRows_) {
        firstChanged = std::min(firstChanged, changed);
        lastChanged = std::max(lastChanged, changed);
      }
    }
  }
  if (lastChanged >= 0) emit dataChanged(index(firstChanged, IpColumn), index(lastChanged, GatewayColumn));
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
  if (role != Qt::DisplayRole) return {};
  switch (section) {
    case MacColumn: return QStringLiteral("摄像机MAC");
    case IpColumn: return QStringLiteral("IP地址");
    case GatewayColumn: return QStringLiteral("网关)");
    default: return {};
  }
}

}  // namespace ui
