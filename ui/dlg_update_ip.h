// The camera page: searches the network for cameras, lists them, lets the user
// pick one by double-click and send it a new address and gateway.
#pragma once

#include <QWidget>
#include <string>

#include "discovery/channel.h"
#include "ui/camera_list_model.h"
#include "ui/record_hand_over.h"

class QLineEdit;
class QTableView;

namespace ui {

class IpAddressEdit;
class MessagePresenter;

class CDlgUpdateIP : public QWidget {
  Q_OBJECT

 public:
  // The page reads the PC's gateway from `network` and opens its channel on it.
  CDlgUpdateIP(MessagePresenter& messages, discovery::HostNetwork& network, QWidget* parent);
  // Closes the channel before anything else of the page goes, so the receive
  // thread never sees a half-destroyed page.
  ~CDlgUpdateIP() override;

  const CameraListModel& cameraModel() const { return cameras_; }
  const discovery::MulticastChannel& channel() const { return channel_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void search();
  void apply();
  void pickRow();

  MessagePresenter& messages_;
  CameraListModel cameras_;
  RecordHandOver handOver_;
  discovery::MulticastChannel channel_;
  // The picked camera's MAC as it came from the wire: a text that is not
  // valid GBK would not survive a round trip through the MAC box.
  std::string pickedMac_;

  QTableView* list_;
  QLineEdit* macBox_;
  QLineEdit* ipBox_;
  QLineEdit* gatewayBox_;
  IpAddressEdit* newAddress_;
  IpAddressEdit* newGateway_;
};

}  // namespace ui
