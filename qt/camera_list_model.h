// The camera page's list as a three-column table for the list view: MAC, IP
// address and gateway, decoded from GBK for display. The rows are the page's;
// the views hear of new and rewritten rows when the page publishes them, and
// rows only ever get appended or rewritten.
#pragma once

#include <QAbstractTableModel>

#include "pages/camera_list.h"
#include "qt/res_names.h"

namespace pages {
class CameraPage;
}

namespace qtui {

class CameraListModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit CameraListModel(const pages::CameraPage& page) : page_(page) {}

  // Tells the views of what the page published.
  void publish(const pages::ShownCameraList::Changes& changes);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  const pages::CameraPage& page_;
  // Rows the views know of: they grow between beginInsertRows and endInsertRows.
  int announcedRows_ = 0;
};

}  // namespace qtui
