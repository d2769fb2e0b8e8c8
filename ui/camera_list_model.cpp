#include "ui/camera_list_model.h"

#include "ui/gbk.h"
#include "ui/res/strings.h"

namespace ui {

void CameraListModel::absorb(std::span<const discovery::DecodedRecord> records) { cameras_.absorb(records); }

void CameraListModel::publish() {
  const auto changes = cameras_.publish();
  if (changes.anyRewritten)
    emit dataChanged(index(static_cast<int>(changes.firstRewritten), IpColumn),
                     index(static_cast<int>(changes.lastRewritten), GatewayColumn));
  if (changes.shown > changes.shownBefore) {
    beginInsertRows({}, announcedRows_, static_cast<int>(changes.shown) - 1);
    announcedRows_ = static_cast<int>(changes.shown);
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
