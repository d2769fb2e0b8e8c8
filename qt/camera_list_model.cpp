#include "qt/camera_list_model.h"

#include "pages/camera_page.h"
#include "qt/gbk.h"
#include "res/strings.h"

namespace qtui {

void CameraListModel::publish(const pages::ShownCameraList::Changes& changes) {
  if (changes.anyRewritten)
    emit dataChanged(index(static_cast<int>(changes.firstRewritten), pages::kIpColumn),
                     index(static_cast<int>(changes.lastRewritten), pages::kGatewayColumn));
  if (changes.shown > changes.shownBefore) {
    beginInsertRows({}, announcedRows_, static_cast<int>(changes.shown) - 1);
    announcedRows_ = static_cast<int>(changes.shown);
    endInsertRows();
  }
}

int CameraListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : announcedRows_; }

int CameraListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(pages::kCameraColumnCount);
}

QVariant CameraListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= announcedRows_ || index.column() >= columnCount() || (role != Qt::DisplayRole && role != Qt::AccessibleTextRole))
    return {};
  return fromGbk(page_.cell(static_cast<std::size_t>(index.row()), static_cast<std::size_t>(index.column())));
}

QVariant CameraListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal) return {};
  if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
  if (role != Qt::DisplayRole || section < 0 || section >= columnCount()) return {};
  return QString::fromUtf8(strings::kCameraColumns[static_cast<std::size_t>(section)]);
}

}  // namespace qtui
