// Re-addresses the selected cameras at once: a start address and a gateway,
// proposed as on the page, and a preview of each camera's new address. OK
// asks for confirmation, or says that the range runs out and stays open.
#pragma once

#include <QDialog>
#include <QStandardItemModel>
#include <span>

#include "pages/camera_page.h"

namespace ui {

class IpAddressEdit;
class MessagePresenter;

class BatchDialog : public QDialog {
  Q_OBJECT

 public:
  BatchDialog(MessagePresenter& messages, const pages::CameraPage& page, std::span<const std::size_t> selectedRows,
              QWidget* parent);

  // What OK sends, once the dialog was accepted.
  const pages::CameraPage::BatchPlan& plan() const { return plan_; }
  quint32 gateway() const;

  void accept() override;

 private:
  void replan();

  MessagePresenter& messages_;
  const pages::CameraPage& page_;
  std::vector<std::size_t> selectedRows_;
  pages::CameraPage::BatchPlan plan_;
  QStandardItemModel preview_;
  IpAddressEdit* start_;
  IpAddressEdit* gateway_;
};

}  // namespace ui
