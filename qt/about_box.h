// The About box: program name, version and what it is for.
#pragma once

#include <QDialog>
#include "qt/res_names.h"

namespace qtui {

class AboutBox : public QDialog {
  Q_OBJECT

 public:
  explicit AboutBox(QWidget* parent);
};

}  // namespace qtui
