#include "qt/main_window.h"

#include <QKeySequence>
#include <QPushButton>
#include <QShortcut>
#include <QShowEvent>
#include <QTabBar>
#include <QTabWidget>

#include "qt/about_box.h"
#include "qt/app_icon.h"
#include "qt/dialog_builder.h"
#include "qt/tab_rectangles.h"
#include "qt/calc_page.h"
#include "qt/camera_page.h"
#include "res/dialog_templates.h"
#include "res/resource_ids.h"
#include "res/strings.h"
#include "qt/system_menu.h"

namespace qtui {

using namespace ids::main_window;

MainWindow::MainWindow(MessagePresenter& messages, pages::HostNetwork& network, QWidget* parent)
    : QDialog(parent) {
  buildDialog(this, mainWindowTemplate());
  // A normal window: many window managers offer no minimise for a dialog
  // that runs modally, as this one does. No maximise: the size is fixed.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  setWindowIcon(appIcon());
  addAboutEntry(this, QString::fromUtf8(strings::kAboutMenuEntry), [this] { showAbout(); });
  connect(control(this, kClose), &QPushButton::clicked, this, &QDialog::accept);

  // Grown where a page would not fit; the Close button keeps its place at
  // the bottom right.
  const QSize templateSize = size();
  setFixedSize(mainWindowClientSize(templateSize));
  QWidget* closeButton = control(this, kClose);
  closeButton->move(closeButton->pos() + QPoint(width() - templateSize.width(), height() - templateSize.height()));

  tabs_ = control(this, kTabs);
  tabs_->setGeometry(tabControlRectangle(size()));
  pageRect_ = qtui::pageRectangle(tabs_->size());

  // Both pages are children of the window itself, laid over the tab control.
  cameraPage_ = new CameraPage(messages, network, this);
  calculatorPage_ = new CalcPage(messages, this);
  pages_ = {cameraPage_, calculatorPage_};
  for (QWidget* page : pages_) page->hide();
  showPage(kCameraPage);

  // The tabs only switch pages; their own page area stays empty.
  tabs_->addTab(new QWidget, QString::fromUtf8(strings::kCameraTab));
  tabs_->addTab(new QWidget, QString::fromUtf8(strings::kCalculatorTab));
  tabs_->tabBar()->setFocusPolicy(Qt::NoFocus);
  connect(tabs_, &QTabWidget::currentChanged, this, &MainWindow::showPage);
  addTabShortcuts();
}

void MainWindow::showPage(int n) {
  if (n < 0 || n >= kPageCount) return;
  for (int i = 0; i < kPageCount; ++i) {
    if (i != n) {
      pages_[i]->hide();
      continue;
    }
    // The page takes the page rectangle's size; what lies beyond it is clipped.
    pages_[i]->setFixedSize(pageRect_.size());
    pages_[i]->move(pageRect_.topLeft());
    pages_[i]->raise();
    pages_[i]->show();
    tabs_->setCurrentIndex(i);
  }
}

void MainWindow::showAbout() {
  AboutBox about(this);
  about.exec();
}

void MainWindow::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // Only the program's own first showing resets the page, not a restore
  // from the task bar.
  if (!event->spontaneous()) showPage(kCameraPage);
}

void MainWindow::addTabShortcuts() {
  // The tab control takes no focus, so the keyboard switches pages from anywhere.
  const auto step = [this](int delta) { showPage((tabs_->currentIndex() + delta + kPageCount) % kPageCount); };
  for (const QKeySequence& next : {QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageDown)})
    connect(new QShortcut(next, this), &QShortcut::activated, this, [step] { step(1); });
  for (const QKeySequence& previous :
       {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageUp)})
    connect(new QShortcut(previous, this), &QShortcut::activated, this, [step] { step(-1); });
}

}  // namespace qtui
