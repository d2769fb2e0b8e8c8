// The network check's dialog in Qt: shows what pages::NetworkCheckDialog
// does, the report in a read-only box, with copy, fix and close.
#pragma once

#include <QDialog>
#include <functional>

#include "pages/multicast_camera_channel.h"
#include "pages/network_check_dialog.h"
#include "qt/command_runner.h"
#include "qt/prompter.h"
#include "qt/timer.h"
#include "qt/res_names.h"

class QPlainTextEdit;
class QPushButton;

namespace qtui {

class MessagePresenter;

class NetworkCheckDialog : public QDialog, private pages::NetworkCheckView {
  Q_OBJECT

 public:
  // Searches through `channel` at once, or once `channelOpening` no longer
  // holds; the report follows.
  NetworkCheckDialog(MessagePresenter& messages, pages::MulticastCameraChannel& channel,
                     std::function<bool()> channelOpening, QWidget* parent);

  const pages::NetworkCheckDialog& check() const { return check_; }

 private:
  void changed() override;

  Prompter prompter_;
  Timer timer_;
  CommandRunner runner_;
  pages::SystemInspector inspector_;
  pages::NetworkCheckDialog check_;
  QPlainTextEdit* report_;
  QPushButton* copy_;
  QPushButton* fix_;
};

}  // namespace qtui
