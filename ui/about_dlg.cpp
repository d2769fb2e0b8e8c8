#include "ui/about_dlg.h"

#include <QPushButton>

#include "ui/dialog_builder.h"
#include "ui/res/dialog_templates.h"
#include "ui/res/resource_ids.h"

namespace ui {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
  buildDialog(this, aboutTemplate());
  connect(control(this, ids::about_box::kOk), &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace ui
