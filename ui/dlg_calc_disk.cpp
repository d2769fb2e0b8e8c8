#include "ui/dlg_calc_disk.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <array>
#include <string>

#include "calc/disk_size.h"
#include "ui/dialog_builder.h"
#include "ui/gbk.h"
#include "ui/message_box.h"
#include "ui/res/dialog_templates.h"
#include "ui/res/resource_ids.h"
#include "ui/res/strings.h"

namespace ui {

using namespace ids::calc_page;

CDlgCalcDisk::CDlgCalcDisk(MessagePresenter& messages, QWidget* parent) : QWidget(parent), messages_(messages) {
  buildDialog(this, calcPageTemplate());
  inputs_ = {control(this, kBitRate), control(this, kCameras), control(this, kHoursPerDay), control(this, kDays)};
  for (std::size_t i = 0; i < inputs_.size(); ++i) inputs_[i]->setText(QString::fromLatin1(calc::kDefaultInputs[i]));
  gigabytesBox_ = control(this, kGigabytes);
  terabytesBox_ = control(this, kTerabytes);
  connect(control(this, kCalculate), &QPushButton::clicked, this, &CDlgCalcDisk::calculate);
}

void CDlgCalcDisk::calculate() {
  gigabytesBox_->clear();
  terabytesBox_->clear();
  std::array<std::string, 4> texts;
  for (std::size_t i = 0; i < texts.size(); ++i) texts[i] = toGbk(inputs_[i]->text()).toStdString();
  const calc::ComputeOutcome outcome = calc::compute(texts[0], texts[1], texts[2], texts[3]);
  if (const auto* invalid = std::get_if<calc::InvalidInput>(&outcome)) {
    messages_.show({this, QString::fromStdString(strings::invalidInput(invalid->item)),
                    QString::fromUtf8(strings::kNoticeCaption), MessageButtons::Ok, MessageIcon::Exclamation});
    return;
  }
  const auto& result = std::get<calc::DiskSizeResult>(outcome);
  gigabytesBox_->setText(QString::fromStdString(result.gigabytes));
  terabytesBox_->setText(QString::fromStdString(result.terabytes));
}

void CDlgCalcDisk::keyPressEvent(QKeyEvent* event) {
  if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) return QWidget::keyPressEvent(event);
  // Enter in an input calculates; elsewhere in the page it does nothing, and
  // it never reaches the main window's default button.
  if (std::find(inputs_.begin(), inputs_.end(), focusWidget()) != inputs_.end()) calculate();
  event->accept();
}

}  // namespace ui
