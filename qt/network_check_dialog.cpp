#include "qt/network_check_dialog.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <utility>

#include "qt/dialog_builder.h"
#include "res/dialog_templates.h"
#include "res/resource_ids.h"

namespace qtui {

using namespace ids::network_check_dialog;

NetworkCheckDialog::NetworkCheckDialog(MessagePresenter& messages, pages::MulticastCameraChannel& channel,
                                       std::function<bool()> channelOpening, QWidget* parent)
    : QDialog(parent),
      prompter_(messages, this),
      check_({channel.multicast(), inspector_, timer_, prompter_, &runner_, std::move(channelOpening)}, *this) {
  buildDialog(this, networkCheckTemplate());
  report_ = control(this, kReport);
  copy_ = control(this, kCopy);
  fix_ = control(this, kFix);
  connect(copy_, &QPushButton::clicked, this, [this] { check_.copy(); });
  connect(fix_, &QPushButton::clicked, this, [this] { check_.fix(); });
  connect(control(this, kClose), &QPushButton::clicked, this, &QDialog::reject);
  check_.start();
}

void NetworkCheckDialog::changed() {
  QString text = QString::fromStdString(check_.text());
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));  // a lone '\r' would show as a glyph
  report_->setPlainText(text);
  copy_->setEnabled(check_.canCopy());
  fix_->setEnabled(check_.canFix());
}

}  // namespace qtui
