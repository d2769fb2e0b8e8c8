// Builds a dialog's controls from its template and finds them again by name.
#pragma once

#include <QString>
#include <QWidget>

#include "res/dialog_template.h"
#include "qt/res_names.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QTableView;

namespace qtui {

class IpAddressEdit;

// Creates the template's controls as children of `dialog`, in the template's
// font, positions and sizes converted from dialog units; fixes the dialog's
// size, sets the tab order, and names each edit box after the static text on
// its row (a text view or a list after the static created just before it) so that a
// screen reader can announce it.
void buildDialog(QWidget* dialog, const DialogTemplate& dialogTemplate);

// The widget each kind of control is built as.
template <ControlKind K> struct WidgetOf;
template <> struct WidgetOf<ControlKind::PushButton> { using type = QPushButton; };
template <> struct WidgetOf<ControlKind::GroupBox> { using type = QGroupBox; };
template <> struct WidgetOf<ControlKind::Static> { using type = QLabel; };
template <> struct WidgetOf<ControlKind::Edit> { using type = QLineEdit; };
template <> struct WidgetOf<ControlKind::ListView> { using type = QTableView; };
template <> struct WidgetOf<ControlKind::IpAddress> { using type = IpAddressEdit; };
template <> struct WidgetOf<ControlKind::TabControl> { using type = QTabWidget; };
template <> struct WidgetOf<ControlKind::Icon> { using type = QLabel; };
template <> struct WidgetOf<ControlKind::TextView> { using type = QPlainTextEdit; };

// The dialog's own control with this number (not one of a child page's:
// pages reuse numbers), whatever its kind; null if there is none.
QWidget* controlWidget(const QWidget* dialog, int id);

// The dialog's own control of that name. A dialog whose template lacks it is
// a mistake in the program, not a situation to handle: it stops the program
// with a message that names the control.
template <ControlKind K>
typename WidgetOf<K>::type* control(const QWidget* dialog, ControlId<K> name) {
  auto* widget = qobject_cast<typename WidgetOf<K>::type*>(controlWidget(dialog, name.value));
  if (!widget) qFatal("%s has no control %d of the kind looked for", dialog->metaObject()->className(), name.value);
  return widget;
}

}  // namespace qtui
