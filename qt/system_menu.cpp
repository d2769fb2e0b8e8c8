#include "qt/system_menu.h"

#include <QAction>
#include <QWidget>

#include "res/strings.h"

namespace qtui {

void addAboutEntry(QWidget* window, const QString& text, std::function<void()> openAbout) {
  window->setContextMenuPolicy(Qt::ActionsContextMenu);
  auto* minimise = new QAction(QString::fromUtf8(strings::kMinimiseMenuEntry), window);
  QObject::connect(minimise, &QAction::triggered, window, &QWidget::showMinimized);
  auto* close = new QAction(QString::fromUtf8(strings::kCloseMenuEntry), window);
  close->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F4));
  QObject::connect(close, &QAction::triggered, window, &QWidget::close);
  auto* separator = new QAction(window);
  separator->setSeparator(true);
  auto* about = new QAction(text, window);
  about->setShortcut(QKeySequence(Qt::Key_F1));
  QObject::connect(about, &QAction::triggered, window, std::move(openAbout));
  window->addActions({minimise, close, separator, about});
}

}  // namespace qtui
