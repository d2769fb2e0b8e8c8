#include "qt/calc_page.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <array>
#include <string>

#include "pages/calc_page.h"
#include "qt/dialog_builder.h"
#include "qt/gbk.h"
#include "qt/message_box.h"
#include "qt/prompter.h"
#include "res/dialog_templates.h"
#include "res/resource_ids.h"
#include "res/strings.h"

namespace qtui {

using namespace ids::calc_page;

namespace {

// A number longer than its box shows its start, as the Windows program's do.
void showResult(QLineEdit* box, const std::string& text) {
  box->setText(QString::fromStdString(text));
  box->setCursorPosition(0);
}

}  // namespace

CalcPage::CalcPage(MessagePresenter& messages, QWidget* parent) : QWidget(parent), messages_(messages) {
  buildDialog(this, calcPageTemplate());
  inputs_ = {control(this, kBitRate), control(this, kCameras), control(this, kHoursPerDay), control(this, kDays)};
  for (std::size_t i = 0; i < inputs_.size(); ++i) inputs_[i]->setText(QString::fromLatin1(pages::kDefaultCalcInputs[i]));
  gigabytesBox_ = control(this, kGigabytes);
  terabytesBox_ = control(this, kTerabytes);
  connect(control(this, kCalculate), &QPushButton::clicked, this, &CalcPage::calculate);
}

void CalcPage::calculate() {
  std::array<std::string, 4> texts;
  for (std::size_t i = 0; i < texts.size(); ++i) texts[i] = toGbk(inputs_[i]->text()).toStdString();
  Prompter prompter(messages_, this);
  pages::calculate(texts, prompter, [this](const pages::CalcOutcome& outcome) {
    showResult(gigabytesBox_, outcome.gigabytes);
    showResult(terabytesBox_, outcome.terabytes);
  });
}

void CalcPage::keyPressEvent(QKeyEvent* event) {
  if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) return QWidget::keyPressEvent(event);
  // Enter in an input calculates; elsewhere in the page it does nothing, and
  // it never reaches the main window's default button.
  if (std::find(inputs_.begin(), inputs_.end(), focusWidget()) != inputs_.end()) calculate();
  event->accept();
}

}  // namespace qtui
