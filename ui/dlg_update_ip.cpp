#include "ui/dlg_update_ip.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableView>

#include "discovery/gateway.h"
#include "ui/dialog_builder.h"
#include "ui/gbk.h"
#include "ui/ip_address_edit.h"
#include "ui/message_box.h"
#include "ui/res/dialog_templates.h"
#include "ui/res/resource_ids.h"
#include "ui/res/strings.h"

namespace ui {
namespace {

using namespace ids::camera_page;

bool isEnterKey(const QKeyEvent* event) { return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter; }

}  // namespace

CDlgUpdateIP::CDlgUpdateIP(MessagePresenter& messages, discovery::HostNetwork& network, QWidget* parent)
    : QWidget(parent),
      messages_(messages),
      handOver_(cameras_),
      channel_(handOver_.inbox(), network) {
  buildDialog(this, cameraPageTemplate());
  list_ = control(this, kCameraList);
  macBox_ = control(this, kMac);
  ipBox_ = control(this, kIp);
  gatewayBox_ = control(this, kGateway);
  newAddress_ = control(this, kNewAddress);
  newGateway_ = control(this, kNewGateway);

  list_->setModel(&cameras_);
  for (int column = 0; column < CameraListModel::ColumnCount; ++column)
    list_->horizontalHeader()->resizeSection(column, kCameraColumnWidth);
  list_->viewport()->installEventFilter(this);

  connect(control(this, kSearch), &QPushButton::clicked, this, &CDlgUpdateIP::search);
  connect(control(this, kApply), &QPushButton::clicked, this, &CDlgUpdateIP::apply);

  std::string gateway;
  discovery::readGateway(network, gateway);
  channel_.open();  // without a channel the page still works, it just hears nothing
  newAddress_->setText(QString::fromStdString(discovery::defaultAddress(gateway)));
  newGateway_->setText(QString::fromStdString(discovery::defaultGateway(gateway)));
}

CDlgUpdateIP::~CDlgUpdateIP() { channel_.close(); }

void CDlgUpdateIP::search() { channel_.sendSearch(); }

void CDlgUpdateIP::pickRow() {
  const QModelIndexList selected = list_->selectionModel()->selectedRows();
  if (selected.isEmpty()) return;
  const auto first = std::min_element(selected.begin(), selected.end(),
                                      [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
  const discovery::CameraRow& camera = cameras_.cameraAt(first->row());
  pickedMac_ = camera.mac;
  macBox_->setText(fromGbk(camera.mac));
  ipBox_->setText(fromGbk(camera.ip));
  gatewayBox_->setText(fromGbk(camera.gateway));
}

void CDlgUpdateIP::apply() {
  if (macBox_->text().isEmpty() || newAddress_->address() == 0 || newGateway_->address() == 0) return;
  const MessageResult answer =
      messages_.show({this, QString::fromUtf8(strings::kConfirmChange), QString::fromUtf8(strings::kNoticeCaption),
                      MessageButtons::OkCancel, MessageIcon::Question});
  if (answer != MessageResult::Ok) return;
  // Read again: the values are those in force when the user said OK.
  const auto request = discovery::encodeSetIpRequest(pickedMac_, newAddress_->address(), newGateway_->address());
  channel_.send(discovery::CMD_SET_IP, request);
}

bool CDlgUpdateIP::eventFilter(QObject* watched, QEvent* event) {
  if (watched == list_->viewport()) {
    const bool press = event->type() == QEvent::MouseButtonPress;
    const bool doubleClick = event->type() == QEvent::MouseButtonDblClick;
    if (press || doubleClick) {
      const auto* mouse = static_cast<QMouseEvent*>(event);
      const bool onEmptySpace = !list_->indexAt(mouse->position().toPoint()).isValid();
      if (doubleClick && mouse->button() == Qt::LeftButton) {
        // The row under the pointer is not consulted: the first selected row is picked.
        list_->setFocus();
        pickRow();
      }
      // A click on empty space keeps the selection, so a double-click there
      // still picks the selected camera.
      if (onEmptySpace) return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void CDlgUpdateIP::keyPressEvent(QKeyEvent* event) {
  // Enter inside the page never reaches the main window's default button.
  if (isEnterKey(event)) {
    event->accept();
    return;
  }
  QWidget::keyPressEvent(event);
}

}  // namespace ui
