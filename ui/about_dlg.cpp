#include "ui/about_dlg.h"

#include <QPushButton>

#include "ui/dialog_builder.h"
#include "ui/res/dialog_templates.h"

namespace ui {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
  buildDialog(this, aboutTemplate());
  connect(control<QPushButton>(this, 1), &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace ui
