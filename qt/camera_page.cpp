#include "qt/camera_page.h"

#include <QAction>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QShortcut>
#include <QTableView>
#include <QTimer>
#include <cstdio>
#include <optional>
#include <vector>

#include "qt/batch_dialog.h"
#include "qt/dialog_builder.h"
#include "qt/gbk.h"
#include "qt/ip_address_edit.h"
#include "qt/message_box.h"
#include "qt/network_check_dialog.h"
#include "qt/plan_dialog.h"
#include "res/dialog_templates.h"
#include "res/resource_ids.h"
#include "res/strings.h"

namespace qtui {
namespace {

using namespace ids::camera_page;

bool isEnterKey(const QKeyEvent* event) { return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter; }

std::string toUtf8(std::string_view gbk) { return fromGbk(gbk).toStdString(); }

}  // namespace

CameraPage::CameraPage(MessagePresenter& messages, pages::HostNetwork& network, QWidget* parent)
    : QWidget(parent),
      messages_(messages),
      prompter_(messages, this),
      checker_(network, timer_),
      channel_(network,
               [this] { QMetaObject::invokeMethod(this, [this] { page_.recordsArrived(); }, Qt::QueuedConnection); }),
      page_({channel_, prompter_, timer_, checker_, network, toUtf8}, *this),
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

  connect(control(this, kSearch), &QPushButton::clicked, this, [this] { page_.search(); });
  applyButton_ = control(this, kApply);
  connect(applyButton_, &QPushButton::clicked, this, [this] {
    page_.apply([this] { return pages::NewAddresses{newAddress_->address(), newGateway_->address()}; });
  });
  addListMenu();
}

void CameraPage::paintEvent(QPaintEvent* event) {
  QWidget::paintEvent(event);
  if (openScheduled_) return;
  openScheduled_ = true;
  // Once the first frame is drawn: the worker's thousand joins, on a PC of a
  // thousand adapters, then never share the cores with the window's showing.
  QTimer::singleShot(0, this, [this] { page_.openInBackground(); });
}

CameraPage::~CameraPage() { page_.close(); }

void CameraPage::rowsChanged(const pages::ShownCameraList::Changes& changes) { cameras_.publish(changes); }

void CameraPage::proposalRead() {
  newAddress_->setText(QString::fromStdString(page_.proposedAddress()));
  newGateway_->setText(QString::fromStdString(page_.proposedGateway()));
}

void CameraPage::addressCheckRunning(bool running) {
  applyButton_->setEnabled(!running);
  if (running)
    setCursor(Qt::BusyCursor);
  else
    unsetCursor();
}

std::vector<std::size_t> CameraPage::selectedRows() const {
  std::vector<std::size_t> selected;
  for (const QModelIndex& index : list_->selectionModel()->selectedRows())
    selected.push_back(static_cast<std::size_t>(index.row()));
  return selected;
}

void CameraPage::pickRow() {
  if (!page_.pick(selectedRows())) return;
  macBox_->setText(fromGbk(page_.picked().mac));
  ipBox_->setText(fromGbk(page_.picked().ip));
  gatewayBox_->setText(fromGbk(page_.picked().gateway));
}

void CameraPage::addListMenu() {
  const auto addAction = [this](const char* text, QKeySequence shortcut, auto handler) {
    auto* action = new QAction(QString::fromUtf8(text), list_);
    action->setShortcut(shortcut);
    action->setShortcutContext(Qt::WidgetShortcut);
    connect(action, &QAction::triggered, this, handler);
    list_->addAction(action);  // its shortcut works while the list has the focus
    listActions_.append(action);
    return action;
  };
  addAction(strings::kCopyMenuEntry, QKeySequence::Copy, [this] { page_.copy(selectedRows()); });
  addAction(strings::kSelectAllMenuEntry, QKeySequence::SelectAll, [this] { list_->selectAll(); });
  addAction(strings::kOpenWebPageMenuEntry, {}, [this] { page_.openWebPage(selectedRows()); });
  addAction(strings::kExportMenuEntry, {}, [this] { page_.exportList(); });
  batchAction_ = addAction(strings::kBatchMenuEntry, {}, &CameraPage::readdressSelection);
  planAction_ = addAction(strings::kPlanMenuEntry, {}, &CameraPage::readdressByPlan);
  addAction(strings::network::kMenuEntry, QKeySequence(Qt::Key_F5), &CameraPage::checkNetwork);
  // Right-click and the menu key ask for it; Shift+F10 too, as on Windows.
  list_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(list_, &QWidget::customContextMenuRequested, this, &CameraPage::showListMenu);
  auto* menuKey = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), list_, nullptr, nullptr, Qt::WidgetShortcut);
  connect(menuKey, &QShortcut::activated, this,
          [this] { showListMenu(list_->visualRect(list_->currentIndex()).center()); });
}

void CameraPage::showListMenu(QPoint at) {
  for (QAction* action : {batchAction_, planAction_}) action->setEnabled(!page_.batchRunning());
  QMenu menu(this);
  menu.addActions(listActions_);
  menu.exec(list_->viewport()->mapToGlobal(at));
  // A trigger from elsewhere is told why, if a batch still runs.
  for (QAction* action : {batchAction_, planAction_}) action->setEnabled(true);
}

void CameraPage::readdressSelection() {
  const std::vector<std::size_t> selected = selectedRows();
  if (selected.empty() || !page_.readyForBatch()) return;
  BatchDialog dialog(messages_, page_, selected, this);
  messages_.run(dialog);
}

void CameraPage::readdressByPlan() {
  std::optional<pages::SitePlan> plan = pages::chooseSitePlan(page_, prompter_);
  if (!plan) return;
  PlanDialog dialog(messages_, page_, std::move(*plan), this);
  messages_.run(dialog);
}

void CameraPage::checkNetwork() {
  NetworkCheckDialog dialog(messages_, channel_, [this] { return !page_.channelOpened(); }, this);
  messages_.run(dialog);
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

}  // namespace qtui
