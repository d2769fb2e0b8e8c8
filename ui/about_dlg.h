// The About box: program name, version and what it is for.
#pragma once

#include <QDialog>

namespace ui {

class CAboutDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CAboutDlg(QWidget* parent);
};

}  // namespace ui
