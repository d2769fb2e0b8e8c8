// What the network check's dialog does, whatever draws it: it searches
// through the camera page's channel (once open, if it is still opening),
// listens kNetworkCheckListen, then shows the report; copies it; and runs a
// finding's fix only once the user has agreed to its exact command line,
// then listens again.
#pragma once

#include <chrono>
#include <functional>
#include <string>

#include "pages/network_check.h"
#include "pages/prompter.h"
#include "pages/timer.h"

namespace pages {

// What a front-end gives the dialog to read the system with.
using discovery::SystemInspector;

struct NetworkCheckSeams {
  discovery::MulticastChannel& channel;  // the camera page's
  discovery::NetworkInspector& inspector;
  Timer& timer;
  Prompter& prompter;  // whose boxes belong to the dialog
  // Null where no fix can be run (Windows): none is offered.
  CommandRunner* runner;
  // While it says so, the channel's open has not ended, and the channel may
  // not be touched (pages::CameraPage::channelOpened()); empty: never.
  std::function<bool()> channelOpening = {};
};

// How often a dialog opened while the channel opens asks whether it is done.
inline constexpr std::chrono::milliseconds kChannelOpeningPoll{50};

// The front-end's dialog, told when what it shows changed: text(), and
// whether copy and fix are open to the user.
class NetworkCheckView {
 public:
  virtual ~NetworkCheckView() = default;
  virtual void changed() = 0;
};

class NetworkCheckDialog {
 public:
  NetworkCheckDialog(NetworkCheckSeams seams, NetworkCheckView& view);
  // Nothing scheduled outlives the dialog.
  ~NetworkCheckDialog();
  NetworkCheckDialog(const NetworkCheckDialog&) = delete;
  NetworkCheckDialog& operator=(const NetworkCheckDialog&) = delete;

  // When the dialog opens: searches, and reports kNetworkCheckListen later;
  // while the channel opens, says so and does both once it is open.
  void start();

  bool listening() const { return reportTask_ != 0; }
  // While the channel opens, that the adapters are opening; while listening,
  // that it is checking; then the report ("\r\n" breaks lines).
  std::string text() const;
  bool canCopy() const { return !listening(); }
  // A finding offers a fix, and this front-end can run one.
  bool canFix() const;
  const NetworkReport& report() const { return report_; }

  void copy();
  // Each finding's fix in turn, asked first; a refused one is left alone, a
  // failed one told. After any that ran, the report is made again.
  void fix();

 private:
  void listen();
  void showReport();
  void awaitChannel();
  bool channelOpening() const { return seams_.channelOpening && seams_.channelOpening(); }

  NetworkCheckSeams seams_;
  NetworkCheckView& view_;
  NetworkCheck check_;
  NetworkReport report_;
  Timer::Handle reportTask_ = 0;  // the report, or the next look at the channel
  bool awaitingChannel_ = false;
};

}  // namespace pages
