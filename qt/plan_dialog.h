// The site plan's dialog in Qt: shows what pages::PlanDialog does, a preview
// of every plan row with the link's answer and its problems, and under it
// what OK will do or why it cannot be pressed.
#pragma once

#include <QDialog>
#include <QStandardItemModel>

class QLabel;
class QPushButton;

#include "pages/plan_dialog.h"
#include "qt/prompter.h"
#include "qt/res_names.h"

namespace qtui {

class MessagePresenter;

class PlanDialog : public QDialog, private pages::PlanDialogView {
  Q_OBJECT

 public:
  PlanDialog(MessagePresenter& messages, pages::CameraPage& page, pages::SitePlan plan, QWidget* parent);

  // OK: the plan is sent when the user confirms it; otherwise the dialog
  // stays. It can be pressed once the plan is sendable.
  void accept() override;

 private:
  void previewChanged() override;

  Prompter prompter_;
  QStandardItemModel preview_;
  QLabel* summary_ = nullptr;
  QPushButton* ok_ = nullptr;
  // Its answers come from the event loop, once the widgets above are made.
  pages::PlanDialog dialog_;
};

}  // namespace qtui
