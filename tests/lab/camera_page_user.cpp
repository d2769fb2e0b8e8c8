#include "lab/camera_page_user.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTableView>

#include "qt/dialog_builder.h"
#include "qt/camera_page.h"
#include "qt/ip_address_edit.h"

namespace labtest {

void showAndCheckChannel(QWidget& window, const qtui::CameraPage& page) {
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  ASSERT_TRUE(QTest::qWaitFor([&] { return page.page().channelOpened().has_value(); }, 60000));
  ASSERT_TRUE(page.channel().multicast().isOpen()) << page.channel().multicast().openError();
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

QString CameraPageUser::box(ui::ControlId<ui::ControlKind::Edit> name) const { return qtui::control(&page_, name)->text(); }

QString CameraPageUser::addressControl(ui::ControlId<ui::ControlKind::IpAddress> name) const {
  return qtui::control(&page_, name)->text();
}

void CameraPageUser::enterAddress(ui::ControlId<ui::ControlKind::IpAddress> name, const QString& dotted) {
  qtui::control(&page_, name)->setText(dotted);
}

void CameraPageUser::click(ui::ControlId<ui::ControlKind::PushButton> name) {
  QTest::mouseClick(qtui::control(&page_, name), Qt::LeftButton);
}

void CameraPageUser::pick(const QString& mac) {
  const QPoint center = list()->visualRect(list()->model()->index(rowOf(mac), 0)).center();
  QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, center);
  QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, center);
}

QTableView* CameraPageUser::list() const { return qtui::control(&page_, ui::ids::camera_page::kCameraList); }

void CameraPageUser::selectAllAndRunListMenuEntry(const char* entry) {
  list()->setFocus();
  QTest::keyClick(list(), Qt::Key_A, Qt::ControlModifier);
  for (QAction* action : list()->actions())
    if (action->text() == QString::fromUtf8(entry)) return action->trigger();
  ADD_FAILURE() << "the list's menu has no entry " << entry;
}

}  // namespace labtest
