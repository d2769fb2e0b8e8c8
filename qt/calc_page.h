// The disk-size calculator page: bit rate, cameras, hours per day and days to
// keep give the recording space needed in GB and roughly in TB.
#pragma once

#include <QWidget>
#include <array>
#include "qt/res_names.h"

class QLineEdit;

namespace qtui {

class MessagePresenter;

class CalcPage : public QWidget {
  Q_OBJECT

 public:
  CalcPage(MessagePresenter& messages, QWidget* parent);

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void calculate();

  MessagePresenter& messages_;
  std::array<QLineEdit*, 4> inputs_;
  QLineEdit* gigabytesBox_;
  QLineEdit* terabytesBox_;
};

}  // namespace qtui
