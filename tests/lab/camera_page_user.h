// The camera page as a user drives it and reads it, and the cameras of the
// lab it should list.
#pragma once

#include <QString>
#include <array>
#include <cstddef>
#include <vector>

#include "support/lab_cameras.h"
#include "support/qt_printers.h"
#include "res/resource_ids.h"

class QTableView;
class QWidget;
namespace qtui {
class CameraPage;
}

namespace labtest {

using Row = std::array<QString, 3>;  // MAC, IP address, gateway

// The cameras of the lab, each in a subnet of its own.
inline const std::vector<Row> kLabCameras = [] {
  std::vector<Row> rows;
  for (const testsupport::LabCamera& camera : testsupport::kLabCameraTexts)
    rows.push_back({camera.mac, camera.ip, camera.gateway});
  return rows;
}();

// Far longer than any answer in the lab takes.
inline constexpr int kWaitMs = 20000;

// Shows the window the page is on, waits until it is on screen and asserts
// that the page's channel is open.
void showAndCheckChannel(QWidget& window, const qtui::CameraPage& page);

class CameraPageUser {
 public:
  explicit CameraPageUser(qtui::CameraPage& page) : page_(page) {}

  std::vector<Row> rows() const;
  std::vector<QString> macs() const;
  int rowOf(const QString& mac) const;
  // Waits (kWaitMs at most) until the list holds at least `count` rows.
  bool awaitRows(std::size_t count) const;

  QString box(ui::ControlId<ui::ControlKind::Edit> name) const;
  QString addressControl(ui::ControlId<ui::ControlKind::IpAddress> name) const;
  void enterAddress(ui::ControlId<ui::ControlKind::IpAddress> name, const QString& dotted);
  void click(ui::ControlId<ui::ControlKind::PushButton> name);
  // Selects the camera's row and double-clicks it, which fills the boxes.
  void pick(const QString& mac);
  // Ctrl+A in the list, then an entry of the list's own menu.
  void selectAllAndRunListMenuEntry(const char* entry);

 private:
  QTableView* list() const;

  qtui::CameraPage& page_;
};

}  // namespace labtest
