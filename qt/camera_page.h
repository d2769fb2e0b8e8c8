// The camera page in Qt: shows what pages::CameraPage does (the search, the
// list, the pick, Apply, the list's own menu) in the page's widgets. Records
// arrive from the receive thread as a queued call; the page's prompts are
// message boxes and its waits are timers.
#pragma once

#include <QList>
#include <QWidget>
#include <vector>

#include "pages/camera_page.h"
#include "pages/multicast_camera_channel.h"
#include "qt/camera_list_model.h"
#include "qt/prompter.h"
#include "qt/timer.h"
#include "qt/res_names.h"

class QAction;
class QLineEdit;
class QPushButton;
class QTableView;

namespace qtui {

class IpAddressEdit;
class MessagePresenter;

class CameraPage : public QWidget, private pages::CameraPageView {
  Q_OBJECT

 public:
  // Once first drawn, the page reads the PC's gateway from `network` and
  // opens its channel on it behind the window
  // (pages::CameraPage::openInBackground()).
  CameraPage(MessagePresenter& messages, pages::HostNetwork& network, QWidget* parent);
  // Closes the channel before anything else of the page goes, so the receive
  // thread never sees a half-destroyed page.
  ~CameraPage() override;

  // What the page shows: its state, its channel and its list, for the tools
  // that show it elsewhere (screenshots, the benchmark, the tests).
  pages::CameraPage& page() { return page_; }
  const pages::CameraPage& page() const { return page_; }
  const pages::MulticastCameraChannel& channel() const { return channel_; }
  const CameraListModel& cameraModel() const { return cameras_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void rowsChanged(const pages::ShownCameraList::Changes& changes) override;
  void addressCheckRunning(bool running) override;
  void proposalRead() override;
  std::vector<std::size_t> selectedRows() const;
  void pickRow();
  // The list's own menu: copy, select all, export, batch re-addressing,
  // re-addressing by a site plan, the network check.
  void addListMenu();
  void showListMenu(QPoint at);
  void readdressSelection();
  void readdressByPlan();
  void checkNetwork();

  MessagePresenter& messages_;
  Prompter prompter_;
  Timer timer_;
  pages::LinkAddressChecker checker_;
  pages::MulticastCameraChannel channel_;
  pages::CameraPage page_;
  CameraListModel cameras_;

  QTableView* list_;
  QList<QAction*> listActions_;
  QAction* batchAction_ = nullptr;
  QAction* planAction_ = nullptr;
  QLineEdit* macBox_;
  QLineEdit* ipBox_;
  QLineEdit* gatewayBox_;
  IpAddressEdit* newAddress_;
  IpAddressEdit* newGateway_;
  QPushButton* applyButton_;
  bool openScheduled_ = false;
};

}  // namespace qtui
