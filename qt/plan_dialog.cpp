#include "qt/plan_dialog.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>

#include "qt/dialog_builder.h"
#include "res/dialog_templates.h"
#include "res/resource_ids.h"
#include "res/strings.h"

namespace qtui {
namespace {

using namespace ids::plan_dialog;

}  // namespace

PlanDialog::PlanDialog(MessagePresenter& messages, pages::CameraPage& page, pages::SitePlan plan, QWidget* parent)
    : QDialog(parent), prompter_(messages, this), dialog_(page, std::move(plan), this) {
  buildDialog(this, planTemplate());
  summary_ = control(this, kSummary);
  ok_ = control(this, kOk);
  auto* list = control(this, kPreview);
  for (std::size_t column = 0; column < strings::kPlanColumns.size(); ++column)
    preview_.setHorizontalHeaderItem(static_cast<int>(column),
                                     new QStandardItem(QString::fromUtf8(strings::kPlanColumns[column])));
  list->setModel(&preview_);
  for (int column = 0; column < preview_.columnCount(); ++column)
    list->horizontalHeader()->resizeSection(column, kCameraColumnWidth);
  connect(ok_, &QPushButton::clicked, this, &PlanDialog::accept);
  connect(control(this, kCancel), &QPushButton::clicked, this, &PlanDialog::reject);
  previewChanged();
}

void PlanDialog::previewChanged() {
  ok_->setEnabled(dialog_.sendable());
  summary_->setText(QString::fromStdString(dialog_.summary()));
  preview_.setRowCount(0);
  for (std::size_t row = 0; row < dialog_.rowCount(); ++row) {
    QList<QStandardItem*> cells;
    for (std::size_t column = 0; column < strings::kPlanColumns.size(); ++column) {
      const QString text = QString::fromStdString(dialog_.cell(row, column));
      auto* cell = new QStandardItem(text);
      cell->setToolTip(text);  // a row's problems are longer than their column
      cells.append(cell);
    }
    preview_.appendRow(cells);
  }
}

void PlanDialog::accept() {
  if (dialog_.accept(prompter_))
    QDialog::accept();
  else
    previewChanged();  // the preview shows what OK found
}

}  // namespace qtui
