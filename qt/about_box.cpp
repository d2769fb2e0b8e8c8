#include "qt/about_box.h"

#include <QPushButton>

#include "qt/dialog_builder.h"
#include "res/dialog_templates.h"
#include "res/resource_ids.h"

namespace qtui {

AboutBox::AboutBox(QWidget* parent) : QDialog(parent) {
  buildDialog(this, aboutTemplate());
  connect(control(this, ids::about_box::kOk), &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace qtui
