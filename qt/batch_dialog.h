// The batch dialog in Qt: shows what pages::BatchDialog does, a start
// address and a gateway proposed as on the page, and a preview of each
// selected camera's new address, planned again at every edit.
#pragma once

#include <QDialog>
#include <QStandardItemModel>
#include <span>

class QPushButton;

#include "pages/batch_dialog.h"
#include "qt/prompter.h"
#include "qt/res_names.h"

namespace qtui {

class IpAddressEdit;
class MessagePresenter;

class BatchDialog : public QDialog, private pages::BatchDialogView {
  Q_OBJECT

 public:
  BatchDialog(MessagePresenter& messages, pages::CameraPage& page, std::span<const std::size_t> selectedRows,
              QWidget* parent);

  // OK: the batch starts when the user confirms it; otherwise the dialog
  // stays. It can be pressed once every planned address is checked.
  void accept() override;

 private:
  void replan();
  void previewChanged() override;

  pages::BatchDialog dialog_;
  Prompter prompter_;
  QStandardItemModel preview_;
  IpAddressEdit* start_;
  IpAddressEdit* gateway_;
  QPushButton* ok_;
};

}  // namespace qtui
