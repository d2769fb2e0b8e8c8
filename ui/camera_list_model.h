// The camera list as a three-column table for the list view: MAC, IP address
// and gateway, decoded from GBK for display. Records from the channel are
// absorbed in batches, and the views hear of the changes when they are
// published; rows only ever get appended or rewritten.
#pragma once

#include <QAbstractTableModel>
#include <span>

#include "discovery/camera_list.h"
#include "discovery/protocol.h"

namespace ui {

class CameraListModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum Column { MacColumn, IpColumn, GatewayColumn, ColumnCount };

  using QAbstractTableModel::QAbstractTableModel;

  // Applies search replies and set-IP replies in their order.
  void absorb(std::span<const discovery::DecodedRecord> records);
  // Tells the views of the rows added and rewritten since the last call.
  void publish();
  const discovery::CameraRow& cameraAt(int row) const { return cameras_.cameras().row(static_cast<std::size_t>(row)); }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  discovery::ShownCameraList cameras_;
  // Rows the views know of: they grow between beginInsertRows and endInsertRows.
  int announcedRows_ = 0;
};

}  // namespace ui
