#include "qt/dialog_builder.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringList>
#include <QStyle>
#include <QTabWidget>
#include <QTableView>

#include "qt/app_icon.h"
#include "qt/dialog_units.h"
#include "qt/ip_address_edit.h"

namespace qtui {

namespace {

// A list view in report style: rows in insertion order, whole rows selected,
// several at once, nothing editable.
QTableView* createReportList(QWidget* dialog) {
  auto* list = new QTableView(dialog);
  list->setShowGrid(false);
  list->setWordWrap(false);
  list->setTabKeyNavigation(false);
  list->verticalHeader()->hide();
  list->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  list->verticalHeader()->setDefaultSectionSize(list->fontMetrics().height() + 4);
  list->horizontalHeader()->setHighlightSections(false);
  list->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list->setSelectionBehavior(QAbstractItemView::SelectRows);
  list->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  // The selection shows only while the list has the focus.
  QPalette palette = list->palette();
  palette.setColor(QPalette::Inactive, QPalette::Highlight, palette.color(QPalette::Inactive, QPalette::Base));
  palette.setColor(QPalette::Inactive, QPalette::HighlightedText, palette.color(QPalette::Inactive, QPalette::Text));
  list->setPalette(palette);
  return list;
}

QLabel* createStatic(QWidget* dialog, const QString& text, bool wordWrap) {
  auto* label = new QLabel(text, dialog);
  label->setTextFormat(Qt::PlainText);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  label->setWordWrap(wordWrap);
  return label;
}

QLabel* createIcon(QWidget* dialog) {
  auto* icon = new QLabel(dialog);
  icon->setPixmap(appIcon().pixmap(dialog->style()->pixelMetric(QStyle::PM_LargeIconSize)));
  return icon;
}

// Read-only, but Tab still leaves it, as it leaves every other control.
QPlainTextEdit* createTextView(QWidget* dialog) {
  auto* view = new QPlainTextEdit(dialog);
  view->setReadOnly(true);
  view->setTabChangesFocus(true);
  view->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
  return view;
}

// Drawn as the templates were laid out for: the frame's top line runs through
// the middle of the title, not below it, so it stays clear of the first row.
QGroupBox* createGroupBox(QWidget* dialog, const QString& title) {
  auto* frame = new QGroupBox(title, dialog);
  frame->setStyleSheet(QStringLiteral(
      "QGroupBox { border: 1px solid palette(mid); border-radius: 2px; margin-top: 0.5em; }"
      "QGroupBox::title { subcontrol-origin: margin; left: 6px; padding: 0 2px; }"));
  return frame;
}

QWidget* createControl(QWidget* dialog, const ControlSpec& item) {
  const QString text = QString::fromUtf8(item.text);
  switch (item.kind) {
    case ControlKind::PushButton: {
      auto* button = new QPushButton(text, dialog);
      // A hidden button is never pressed; as a default it would take the
      // default from the window a page is shown in.
      button->setDefault((item.style & Default) && !(item.style & Hidden));
      return button;
    }
    case ControlKind::GroupBox:
      return createGroupBox(dialog, text);
    case ControlKind::Static:
      return createStatic(dialog, text, item.style & WordWrap);
    case ControlKind::Edit: {
      auto* edit = new QLineEdit(dialog);
      edit->setReadOnly(item.style & ReadOnly);
      return edit;
    }
    case ControlKind::ListView:
      return createReportList(dialog);
    case ControlKind::IpAddress:
      return new IpAddressEdit(dialog);
    case ControlKind::TabControl:
      return new QTabWidget(dialog);
    case ControlKind::Icon:
      return createIcon(dialog);
    case ControlKind::TextView:
      return createTextView(dialog);
  }
  Q_UNREACHABLE();
}

QRect placeControl(const ControlSpec& item, BaseUnits units, const QWidget& widget) {
  QRect geometry = toPixels(item.rect, units);
  // The platform sizes an icon control to its icon, whatever the template says.
  if (item.kind == ControlKind::Icon) geometry.setSize(widget.sizeHint());
  return geometry;
}

int rightEdge(const DialogRect& rect) { return rect.x + rect.width; }

// A static is on a box's row when its middle lies within the box's height.
bool onSameRow(const DialogRect& text, const DialogRect& box) {
  const int doubledMiddle = 2 * text.y + text.height;
  return doubledMiddle >= 2 * box.y && doubledMiddle <= 2 * (box.y + box.height);
}

// The nearest static to the left on the box's row, then the nearest one to
// the right (a unit such as "kbps"), if any.
QString labelOf(const DialogTemplate& dialogTemplate, const ControlSpec& box) {
  const ControlSpec* left = nullptr;
  const ControlSpec* right = nullptr;
  for (const ControlSpec& other : dialogTemplate.controls) {
    if (other.kind != ControlKind::Static || !onSameRow(other.rect, box.rect)) continue;
    if (rightEdge(other.rect) <= box.rect.x && (!left || other.rect.x > left->rect.x)) left = &other;
    if (other.rect.x >= rightEdge(box.rect) && (!right || other.rect.x < right->rect.x)) right = &other;
  }
  QStringList parts;
  for (const ControlSpec* label : {left, right})
    if (label) parts << QString::fromUtf8(label->text).trimmed();
  return parts.join(u' ');
}

// The static created just before the control, as Windows' screen readers
// name a box that has no row of its own.
QString staticBefore(const DialogTemplate& dialogTemplate, const ControlSpec& box) {
  const ControlSpec* previous = nullptr;
  for (const ControlSpec& other : dialogTemplate.controls) {
    if (&other == &box) break;
    previous = &other;
  }
  if (!previous || previous->kind != ControlKind::Static) return {};
  return QString::fromUtf8(previous->text).trimmed();
}

void nameForScreenReaders(QWidget* widget, const DialogTemplate& dialogTemplate, const ControlSpec& item) {
  if (item.kind == ControlKind::TextView || item.kind == ControlKind::ListView)
    widget->setAccessibleName(staticBefore(dialogTemplate, item));
  else if (item.kind == ControlKind::IpAddress)
    static_cast<IpAddressEdit*>(widget)->setLabel(labelOf(dialogTemplate, item));
  else if (item.kind == ControlKind::Edit)
    widget->setAccessibleName(labelOf(dialogTemplate, item));
}

// Hidden controls and those that are no tab stop take no focus, nor do
// their parts (such as a tab control's tab bar).
void keepFocusAway(QWidget* widget) {
  widget->setFocusPolicy(Qt::NoFocus);
  for (QWidget* part : widget->findChildren<QWidget*>()) part->setFocusPolicy(Qt::NoFocus);
}

// The object name that finds a control again, e.g. "ctl1001".
QString controlName(int id) { return QStringLiteral("ctl%1").arg(id); }

}  // namespace

QWidget* controlWidget(const QWidget* dialog, int id) {
  return dialog->findChild<QWidget*>(controlName(id), Qt::FindDirectChildrenOnly);
}

void buildDialog(QWidget* dialog, const DialogTemplate& dialogTemplate) {
  const QFont font = dialogFont(dialogTemplate.pointSize);
  const BaseUnits units = baseUnits(font);
  dialog->setFont(font);
  dialog->setWindowTitle(QString::fromUtf8(dialogTemplate.caption));
  dialog->setFixedSize(toPixels(dialogTemplate.width, dialogTemplate.height, units));

  for (const ControlSpec& item : dialogTemplate.controls) {
    QWidget* widget = createControl(dialog, item);
    widget->setGeometry(placeControl(item, units, *widget));
    if (item.id != kUnnamedControl) widget->setObjectName(controlName(item.id));
    nameForScreenReaders(widget, dialogTemplate, item);
    if (item.style & (Hidden | NoTabStop)) keepFocusAway(widget);
    if (item.style & Hidden) widget->hide();
  }

  for (std::size_t i = 1; i < dialogTemplate.tabOrder.size(); ++i)
    QWidget::setTabOrder(controlWidget(dialog, dialogTemplate.tabOrder[i - 1]),
                         controlWidget(dialog, dialogTemplate.tabOrder[i]));
}

}  // namespace qtui
