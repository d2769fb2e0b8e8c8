#include "qt/batch_dialog.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTableView>

#include "qt/dialog_builder.h"
#include "qt/gbk.h"
#include "qt/ip_address_edit.h"
#include "res/dialog_templates.h"
#include "res/resource_ids.h"
#include "res/strings.h"

namespace qtui {
namespace {

using namespace ids::batch_dialog;

}  // namespace

BatchDialog::BatchDialog(MessagePresenter& messages, pages::CameraPage& page,
                         std::span<const std::size_t> selectedRows, QWidget* parent)
    : QDialog(parent), dialog_(page, selectedRows, this), prompter_(messages, this) {
  buildDialog(this, batchTemplate());
  start_ = control(this, kStart);
  gateway_ = control(this, kGateway);
  auto* list = control(this, kPreview);
  for (std::size_t column = 0; column < strings::kBatchColumns.size(); ++column)
    preview_.setHorizontalHeaderItem(static_cast<int>(column),
                                     new QStandardItem(QString::fromUtf8(strings::kBatchColumns[column])));
  list->setModel(&preview_);
  for (int column = 0; column < preview_.columnCount(); ++column)
    list->horizontalHeader()->resizeSection(column, kCameraColumnWidth);

  ok_ = control(this, kOk);
  connect(ok_, &QPushButton::clicked, this, &BatchDialog::accept);
  connect(control(this, kCancel), &QPushButton::clicked, this, &BatchDialog::reject);
  connect(start_, &IpAddressEdit::changed, this, &BatchDialog::replan);
  connect(gateway_, &IpAddressEdit::changed, this, &BatchDialog::replan);
  start_->setText(QString::fromStdString(dialog_.proposedStart()));
  gateway_->setText(QString::fromStdString(dialog_.proposedGateway()));
  replan();
}

void BatchDialog::replan() {
  dialog_.replan(start_->address(), gateway_->address());
  previewChanged();
}

void BatchDialog::previewChanged() {
  ok_->setEnabled(dialog_.checked());
  preview_.setRowCount(0);
  for (std::size_t row = 0; row < dialog_.plan().items.size(); ++row) {
    QList<QStandardItem*> cells;
    for (std::size_t column = 0; column < strings::kBatchColumns.size(); ++column)
      // The link's answer is UTF-8; the rest comes from the wire.
      cells.append(new QStandardItem(column == pages::kBatchCheckColumn ? QString::fromStdString(dialog_.cell(row, column))
                                                 : fromGbk(dialog_.cell(row, column))));
    preview_.appendRow(cells);
  }
}

void BatchDialog::accept() {
  if (dialog_.accept(start_->address(), gateway_->address(), prompter_))
    QDialog::accept();
  else
    replan();  // the preview shows what OK planned from
}

}  // namespace qtui
