#include "qt/camera_page.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableView>
#include <cstdio>
#include <vector>

#include "qt/dialog_builder.h"
#include "qt/gbk.h"
#include "qt/ip_address_edit.h"
#include "qt/message_box.h"
#include "res/dialog_templates.h"
#include "res/resource_ids.h"
#include "res/strings.h"

namespace ui {
namespace {

using namespace ids::camera_page;

bool isEnterKey(const QKeyEvent* event) { return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter; }

}  // namespace

CameraPage::CameraPage(MessagePresenter& messages, discovery::HostNetwork& network, QWidget* parent)
    : QWidget(parent),
      messages_(messages),
      page_(network, [this] { QMetaObject::invokeMethod(this, &CameraPage::scheduleRecords, Qt::QueuedConnection); }),
      cameras_(page_) {
  buildDialog(this, cameraPageTemplate());
  list_ = control(this, kCameraList);
  macBox_ = control(this, kMac);
  ipBox_ = control(this, kIp);
  gatewayBox_ = control(this, kGateway);
  newAddress_ = control(this, kNewAddress);
  newGateway_ = control(this, kNewGateway);

  list_->setModel(&cameras_);
  for (int column = 0; column < cameras_.columnCount(); ++column)
    list_->horizontalHeader()->resizeSection(column, kCameraColumnWidth);
  list_->viewport()->installEventFilter(this);

  sliceTimer_.setSingleShot(true);
  sliceTimer_.setInterval(0);
  connect(&sliceTimer_, &QTimer::timeout, this, &CameraPage::applyRecords);
  connect(control(this, kSearch), &QPushButton::clicked, this, [this] { page_.search(); });
  connect(control(this, kApply), &QPushButton::clicked, this, &CameraPage::apply);

  if (!page_.open()) std::fprintf(stderr, "tovalen: no camera can be heard: %s\n", page_.channel().openError().c_str());
  newAddress_->setText(QString::fromStdString(page_.proposedAddress()));
  newGateway_->setText(QString::fromStdString(page_.proposedGateway()));
}

CameraPage::~CameraPage() { page_.close(); }

void CameraPage::scheduleRecords() {
  if (!sliceTimer_.isActive()) sliceTimer_.start();
}

void CameraPage::applyRecords() {
  const pages::RecordSlice slice = page_.applyRecords();
  if (slice.changes) cameras_.publish(*slice.changes);
  if (slice.more) scheduleRecords();
}

void CameraPage::pickRow() {
  std::vector<std::size_t> selected;
  for (const QModelIndex& index : list_->selectionModel()->selectedRows())
    selected.push_back(static_cast<std::size_t>(index.row()));
  if (!page_.pick(selected)) return;
  macBox_->setText(fromGbk(page_.picked().mac));
  ipBox_->setText(fromGbk(page_.picked().ip));
  gatewayBox_->setText(fromGbk(page_.picked().gateway));
}

void CameraPage::apply() {
  if (!page_.readyToApply(newAddress_->address(), newGateway_->address())) return;
  const MessageResult answer =
      messages_.show({this, QString::fromUtf8(strings::kConfirmChange), QString::fromUtf8(strings::kNoticeCaption),
                      MessageButtons::OkCancel, MessageIcon::Question});
  // Read again: the values are those in force when the user said OK.
  if (answer == MessageResult::Ok) page_.apply(newAddress_->address(), newGateway_->address());
}

bool CameraPage::eventFilter(QObject* watched, QEvent* event) {
  if (watched == list_->viewport()) {
    const bool press = event->type() == QEvent::MouseButtonPress;
    const bool doubleClick = event->type() == QEvent::MouseButtonDblClick;
    if (press || doubleClick) {
      const auto* mouse = static_cast<QMouseEvent*>(event);
      const bool onEmptySpace = !list_->indexAt(mouse->position().toPoint()).isValid();
      if (doubleClick && mouse->button() == Qt::LeftButton) {
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

void CameraPage::keyPressEvent(QKeyEvent* event) {
  // Enter inside the page never reaches the main window's default button.
  if (isEnterKey(event)) {
    event->accept();
    return;
  }
  QWidget::keyPressEvent(event);
}

}  // namespace ui
