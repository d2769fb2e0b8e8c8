// Builds a dialog's controls from its template and finds them again by id.
#pragma once

#include <QString>
#include <QWidget>

namespace ui {

struct DialogTemplate;

// Creates the template's controls as children of `dialog`, in the template's
// font, positions and sizes converted from dialog units; fixes the dialog's
// size, sets the tab order, and names each edit box after the static text on
// its row so that a screen reader can announce it.
void buildDialog(QWidget* dialog, const DialogTemplate& dialogTemplate);

// The object name of the control with this id, e.g. "ctl1001".
QString controlName(int id);

// The dialog's own control with this id, not one of a child page's (pages
// reuse ids); null if there is none of type T.
template <class T>
T* control(const QWidget* dialog, int id) {
  return dialog->findChild<T*>(controlName(id), Qt::FindDirectChildrenOnly);
}

}  // namespace ui
