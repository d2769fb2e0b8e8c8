// The About box: program name, version and what it is for.
#pragma once

#include <QDialog>

namespace ui {

class AboutBox : public QDialog {
  Q_OBJECT

 public:
  explicit AboutBox(QWidget* parent);
};

}  // namespace ui
