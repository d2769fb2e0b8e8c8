#include "pages/network_check_dialog.h"

#include <algorithm>

#include "res/strings.h"

namespace pages {
namespace {

namespace text = ui::strings::network;

bool offersFix(const Finding& finding) { return !finding.fix.empty(); }

}  // namespace

NetworkCheckDialog::NetworkCheckDialog(NetworkCheckSeams seams, NetworkCheckView& view)
    : seams_(seams), view_(view), check_(seams.channel, seams.inspector) {}

NetworkCheckDialog::~NetworkCheckDialog() { seams_.timer.cancel(reportTask_); }

void NetworkCheckDialog::start() {
  awaitingChannel_ = channelOpening();
  if (awaitingChannel_) {
    awaitChannel();
    view_.changed();
    return;
  }
  check_.begin();
  listen();
}

void NetworkCheckDialog::awaitChannel() {
  reportTask_ = seams_.timer.runAfter(kChannelOpeningPoll, [this] {
    reportTask_ = 0;
    if (channelOpening()) return awaitChannel();
    start();
  });
}

void NetworkCheckDialog::listen() {
  seams_.timer.cancel(reportTask_);
  reportTask_ = seams_.timer.runAfter(kNetworkCheckListen, [this] { showReport(); });
  view_.changed();
}

void NetworkCheckDialog::showReport() {
  reportTask_ = 0;
  report_ = check_.report();
  view_.changed();
}

std::string NetworkCheckDialog::text() const {
  if (awaitingChannel_) return text::kAdaptersOpening;
  return listening() ? text::kChecking : report_.text();
}

bool NetworkCheckDialog::canFix() const {
  return seams_.runner && !listening() && std::any_of(report_.findings.begin(), report_.findings.end(), offersFix);
}

void NetworkCheckDialog::copy() {
  if (canCopy()) seams_.prompter.copyToClipboard(report_.text());
}

void NetworkCheckDialog::fix() {
  if (!canFix()) return;
  bool anyRan = false;
  // The report stays as it is until listen() below.
  for (const Finding& finding : report_.findings) {
    if (!offersFix(finding)) continue;
    const std::string command = commandLine(finding.fix);
    if (!seams_.prompter.ask({text::confirmFix(command), text::kCaption, Icon::Question})) continue;
    if (check_.applyFix(finding, *seams_.runner))
      anyRan = true;
    else
      seams_.prompter.tell({text::fixFailed(command), text::kCaption, Icon::Exclamation});
  }
  if (anyRan) listen();  // applyFix has searched again
}

}  // namespace pages
