// The batch dialog in Qt: shows what pages::BatchDialog does, a start
// address and a gateway proposed as on the page, and a preview of each
// selected camera's new address, planned again at every edit.
#pragma once

#include <QDialog>
#include <QStandardItemModel>
#include <span>

#include "pages/batch_dialog.h"
#include "qt/prompter.h"

namespace ui {

class IpAddressEdit;
class MessagePresenter;

class BatchDialog : public QDialog {
  Q_OBJECT

 public:
  BatchDialog(MessagePresenter& messages, pages::CameraPage& page, std::span<const std::size_t> selectedRows,
              QWidget* parent);

  // OK: the batch starts when the user confirms it; otherwise the dialog stays.
  void accept() override;

 private:
  void replan();

  pages::BatchDialog dialog_;
  Prompter prompter_;
  QStandardItemModel preview_;
  IpAddressEdit* start_;
  IpAddressEdit* gateway_;
};

}  // namespace ui
