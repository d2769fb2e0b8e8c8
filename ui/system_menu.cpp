#include "ui/system_menu.h"

#include <QAction>
#include <QWidget>

namespace ui {

void addAboutEntry(QWidget* window, const QString& text, std::function<void()> openAbout) {
  window->setContextMenuPolicy(Qt::ActionsContextMenu);
  auto* minimise = new QAction(QStringLiteral("最小化(&N)"), window);
  QObject::connect(minimise, &QAction::triggered, window, &QWidget::showMinimized);
  auto* close = new QAction(QStringLiteral("关闭(&C)"), window);
  close->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F4));
  QObject::connect(close, &QAction::triggered, window, &QWidget::close);
  auto* separator = new QAction(window);
  separator->setSeparator(true);
  auto* about = new QAction(text, window);
  about->setShortcut(QKeySequence(Qt::Key_F1));
  QObject::connect(about, &QAction::triggered, window, std::move(openAbout));
  window->addActions({minimise, close, separator, about});
}

}  // namespace ui
