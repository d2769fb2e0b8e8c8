// The camera page in Qt: shows what pages::CameraPage does (the search, the
// list, the pick, Apply) and asks the user to confirm. Records arrive from the
// receive thread as a queued call, and are applied a slice per timer tick.
#pragma once

#include <QList>
#include <QTimer>
#include <QWidget>
#include <vector>

#include "pages/camera_page.h"
#include "qt/camera_list_model.h"

class QAction;
class QLineEdit;
class QTableView;

namespace ui {

class IpAddressEdit;
class MessagePresenter;

class CameraPage : public QWidget {
  Q_OBJECT

 public:
  // The page reads the PC's gateway from `network` and opens its channel on it.
  CameraPage(MessagePresenter& messages, discovery::HostNetwork& network, QWidget* parent);
  // Closes the channel before anything else of the page goes, so the receive
  // thread never sees a half-destroyed page.
  ~CameraPage() override;

  // What the page shows: its state and its list, for the tools that show it
  // elsewhere (screenshots, the benchmark).
  const pages::CameraPage& page() const { return page_; }
  const CameraListModel& cameraModel() const { return cameras_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void scheduleRecords();
  void applyRecords();
  std::vector<std::size_t> selectedRows() const;
  void pickRow();
  void apply();
  bool confirmDespiteConflict(quint32 newAddress);
  // The list's own menu: copy, select all, export, batch re-addressing.
  void addListMenu();
  void showListMenu(QPoint at);
  void copySelection();
  void exportList();
  void readdressSelection();
  void sendNextOfBatch();
  void offerToResendUnanswered();

  MessagePresenter& messages_;
  pages::CameraPage page_;
  CameraListModel cameras_;
  // A timer, not a queued call, so that other timers due meanwhile (a
  // repaint, a click's) run between two slices.
  QTimer sliceTimer_;
  // Spaces the set-IP requests of a batch, then waits for the answers.
  QTimer batchTimer_;

  QTableView* list_;
  QList<QAction*> listActions_;
  QLineEdit* macBox_;
  QLineEdit* ipBox_;
  QLineEdit* gatewayBox_;
  IpAddressEdit* newAddress_;
  IpAddressEdit* newGateway_;
};

}  // namespace ui
