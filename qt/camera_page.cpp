#include "qt/camera_page.h"

#include <QAction>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QShortcut>
#include <QTableView>
#include <cstdio>
#include <vector>

#include "pages/list_text.h"
#include "qt/batch_dialog.h"
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

// A batch's requests go out this far apart, so that no burst is lost on a
// slow link; its answers are awaited this long after the last.
constexpr int kBatchSpacingMs = 5;
constexpr int kBatchAnswerWaitMs = 3000;

std::string toUtf8(std::string_view gbk) { return fromGbk(gbk).toStdString(); }

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
  batchTimer_.setSingleShot(true);
  connect(&batchTimer_, &QTimer::timeout, this, &CameraPage::sendNextOfBatch);
  addListMenu();

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

void CameraPage::apply() {
  if (!page_.readyToApply(newAddress_->address(), newGateway_->address())) return;
  if (!confirmDespiteConflict(newAddress_->address())) return;
  const MessageResult answer =
      messages_.show({this, QString::fromUtf8(strings::kConfirmChange), QString::fromUtf8(strings::kNoticeCaption),
                      MessageButtons::OkCancel, MessageIcon::Question});
  // Read again: the values are those in force when the user said OK.
  if (answer == MessageResult::Ok) page_.apply(newAddress_->address(), newGateway_->address());
}

bool CameraPage::confirmDespiteConflict(quint32 newAddress) {
  const auto conflict = page_.conflictOf(newAddress);
  if (!conflict) return true;
  return messages_.show({this, QString::fromStdString(pages::conflictNotice(*conflict, newAddress, toUtf8)), QString::fromUtf8(strings::kNoticeCaption),
                         MessageButtons::OkCancel, MessageIcon::Exclamation}) == MessageResult::Ok;
}

void CameraPage::addListMenu() {
  const auto addAction = [this](const char* text, QKeySequence shortcut, auto handler) {
    auto* action = new QAction(QString::fromUtf8(text), list_);
    action->setShortcut(shortcut);
    action->setShortcutContext(Qt::WidgetShortcut);
    connect(action, &QAction::triggered, this, handler);
    list_->addAction(action);  // its shortcut works while the list has the focus
    listActions_.append(action);
  };
  addAction(strings::kCopyMenuEntry, QKeySequence::Copy, &CameraPage::copySelection);
  addAction(strings::kSelectAllMenuEntry, QKeySequence::SelectAll, [this] { list_->selectAll(); });
  addAction(strings::kExportMenuEntry, {}, &CameraPage::exportList);
  addAction(strings::kBatchMenuEntry, {}, &CameraPage::readdressSelection);
  // Right-click and the menu key ask for it; Shift+F10 too, as on Windows.
  list_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(list_, &QWidget::customContextMenuRequested, this, &CameraPage::showListMenu);
  auto* menuKey = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), list_, nullptr, nullptr, Qt::WidgetShortcut);
  connect(menuKey, &QShortcut::activated, this,
          [this] { showListMenu(list_->visualRect(list_->currentIndex()).center()); });
}

void CameraPage::showListMenu(QPoint at) {
  QMenu menu(this);
  menu.addActions(listActions_);
  menu.exec(list_->viewport()->mapToGlobal(at));
}

void CameraPage::copySelection() {
  QGuiApplication::clipboard()->setText(QString::fromStdString(pages::copiedText(page_, selectedRows(), toUtf8)));
}

void CameraPage::exportList() {
  const QString path = messages_.chooseFileToSave(this, QString::fromUtf8(strings::kExportCaption),
                                                  QString::fromUtf8(strings::kExportFileName),
                                                  QString::fromUtf8(strings::kCsvFilter));
  if (path.isEmpty()) return;
  const std::string csv = pages::csvText(page_, toUtf8);
  QFile file(path);
  if (file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
      file.write(csv.data(), static_cast<qint64>(csv.size())) == static_cast<qint64>(csv.size()) && file.flush())
    return;
  messages_.show({this, QString::fromStdString(strings::exportFailed(path.toStdString())),
                  QString::fromUtf8(strings::kNoticeCaption), MessageButtons::Ok, MessageIcon::Exclamation});
}

void CameraPage::readdressSelection() {
  const std::vector<std::size_t> selected = selectedRows();
  if (selected.empty() || batchTimer_.isActive()) return;
  BatchDialog dialog(messages_, page_, selected, this);
  if (!messages_.run(dialog)) return;
  page_.startBatch(dialog.plan().items, dialog.gateway());
  sendNextOfBatch();
}

void CameraPage::sendNextOfBatch() {
  if (page_.sendNextOfBatch()) {
    batchTimer_.start(kBatchSpacingMs);
    return;
  }
  QTimer::singleShot(kBatchAnswerWaitMs, this, &CameraPage::offerToResendUnanswered);
}

void CameraPage::offerToResendUnanswered() {
  const auto unanswered = page_.unansweredOfBatch();
  if (unanswered.empty()) return;
  if (messages_.show({this, QString::fromStdString(pages::unansweredNotice(unanswered, toUtf8)),
                      QString::fromUtf8(strings::kNoticeCaption), MessageButtons::OkCancel,
                      MessageIcon::Question}) != MessageResult::Ok)
    return;
  page_.startBatch(unanswered, page_.batchGateway());
  sendNextOfBatch();
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
