#include "qt/batch_dialog.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTableView>

#include "discovery/protocol.h"
#include "qt/dialog_builder.h"
#include "qt/gbk.h"
#include "qt/ip_address_edit.h"
#include "qt/message_box.h"
#include "res/dialog_templates.h"
#include "res/resource_ids.h"
#include "res/strings.h"

namespace ui {
namespace {

using namespace ids::batch_dialog;

std::string dotted(quint32 address) { return discovery::formatAddress(discovery::toIpv4Bytes(address)); }

}  // namespace

BatchDialog::BatchDialog(MessagePresenter& messages, const pages::CameraPage& page,
                         std::span<const std::size_t> selectedRows, QWidget* parent)
    : QDialog(parent), messages_(messages), page_(page), selectedRows_(selectedRows.begin(), selectedRows.end()) {
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

  connect(control(this, kOk), &QPushButton::clicked, this, &BatchDialog::accept);
  connect(control(this, kCancel), &QPushButton::clicked, this, &BatchDialog::reject);
  connect(start_, &IpAddressEdit::changed, this, &BatchDialog::replan);
  connect(gateway_, &IpAddressEdit::changed, this, &BatchDialog::replan);
  start_->setText(QString::fromStdString(page.proposedAddress()));
  gateway_->setText(QString::fromStdString(page.proposedGateway()));
  replan();
}

quint32 BatchDialog::gateway() const { return gateway_->address(); }

void BatchDialog::replan() {
  plan_ = page_.planBatch(selectedRows_, start_->address(), gateway_->address());
  preview_.setRowCount(0);
  for (const auto& item : plan_.items)
    preview_.appendRow({new QStandardItem(fromGbk(item.mac)), new QStandardItem(fromGbk(item.currentIp)),
                        new QStandardItem(QString::fromStdString(dotted(item.newAddress)))});
}

void BatchDialog::accept() {
  if (start_->address() == 0 || gateway_->address() == 0 || (plan_.items.empty() && !plan_.ranOut)) return;
  const QString caption = QString::fromUtf8(strings::kNoticeCaption);
  if (plan_.ranOut) {
    messages_.show({this, QString::fromStdString(strings::batchRanOut(dotted(start_->address()), selectedRows_.size())),
                    caption, MessageButtons::Ok, MessageIcon::Exclamation});
    return;
  }
  const std::string confirm = strings::batchConfirm(plan_.items.size(), dotted(plan_.items.front().newAddress),
                                                    dotted(plan_.items.back().newAddress));
  if (messages_.show({this, QString::fromStdString(confirm), caption, MessageButtons::OkCancel,
                      MessageIcon::Question}) == MessageResult::Ok)
    QDialog::accept();
}

}  // namespace ui
