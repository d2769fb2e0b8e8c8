#include "lab/camera_page_user.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

#include "ui/dialog_builder.h"
#include "ui/dlg_update_ip.h"
#include "ui/ip_address_edit.h"

namespace labtest {
namespace {
constexpr int kCameraList = 1009;
}

std::vector<Row> CameraPageUser::rows() const {
  std::vector<Row> shown;
  const QAbstractItemModel* model = list()->model();
  for (int row = 0; row < model->rowCount(); ++row)
    shown.push_back({model->index(row, 0).data().toString(), model->index(row, 1).data().toString(),
                     model->index(row, 2).data().toString()});
  return shown;
}

std::vector<QString> CameraPageUser::macs() const {
  std::vector<QString> listed;
  for (const Row& row : rows()) listed.push_back(row[0]);
  return listed;
}

int CameraPageUser::rowOf(const QString& mac) const {
  const std::vector<QString> listed = macs();
  for (std::size_t row = 0; row < listed.size(); ++row)
    if (listed[row] == mac) return static_cast<int>(row);
  return -1;
}

bool CameraPageUser::awaitRows(std::size_t count) const {
  return QTest::qWaitFor([&] { return static_cast<std::size_t>(list()->model()->rowCount()) >= count; }, kWaitMs);
}

QString CameraPageUser::box(int id) const { return ui::control<QLineEdit>(&page_, id)->text(); }

QString CameraPageUser::addressControl(int id) const { return ui::control<ui::IpAddressEdit>(&page_, id)->text(); }

void CameraPageUser::enterAddress(int id, const QString& dotted) {
  ui::control<ui::IpAddressEdit>(&page_, id)->setText(dotted);
}

void CameraPageUser::click(int id) { QTest::mouseClick(ui::control<QPushButton>(&page_, id), Qt::LeftButton); }

void CameraPageUser::pick(const QString& mac) {
  const QPoint center = list()->visualRect(list()->model()->index(rowOf(mac), 0)).center();
  QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, center);
  QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, center);
}

QTreeView* CameraPageUser::list() const { return ui::control<QTreeView>(&page_, kCameraList); }

}  // namespace labtest
