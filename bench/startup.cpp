// Start-up benchmark: the Qt program as a whole process, up to its window
// shown (bench/startup.sh runs it in namespaces of 1 and 1,000 adapters).
// It starts as `tovalen` does (one copy per user, the open-file limit, the
// socket library, the main window whose camera page opens its channel once
// drawn), then, by its argument:
//   shown   prints "shown" at the window's first paint and ends there, at
//           once: the process's duration is the start-up alone;
//   stall   keeps the window until the channel has opened, then prints the
//           longest gap between two ticks of a 1 ms timer on the UI thread
//           and the milliseconds from the first paint to the channel open;
//   closing closes the window as soon as the channel is opening and ends as
//           the program does: the open is cancelled and waited for (with one
//           adapter it is open by then).
#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

#include "pages/startup.h"
#include "qt/camera_page.h"
#include "qt/main_window.h"
#include "qt/message_box.h"
#include "qt/prompter.h"
#include "qt/session_bus.h"
#include "qt/toolkit_translation.h"

namespace {

enum class Mode { kShown, kStall, kClosing };

std::optional<Mode> modeNamed(const char* name) {
  if (std::strcmp(name, "shown") == 0) return Mode::kShown;
  if (std::strcmp(name, "stall") == 0) return Mode::kStall;
  if (std::strcmp(name, "closing") == 0) return Mode::kClosing;
  return std::nullopt;
}

// Runs `then` once, after the window is first drawn.
class FirstPaint : public QObject {
 public:
  explicit FirstPaint(std::function<void()> then) : then_(std::move(then)) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && then_) QTimer::singleShot(0, watched, std::exchange(then_, {}));
    return QObject::eventFilter(watched, event);
  }

 private:
  std::function<void()> then_;
};

// Ticks every millisecond from the first paint on. Stall: once the channel
// has opened, prints the longest gap and the time it took. Closing: once it
// is opening (or, with few adapters, already open). Then closes the window.
void tickUntilDone(qtui::MainWindow& window, Mode mode) {
  struct Watch {
    QElapsedTimer sinceShown;
    qint64 lastTick = 0;
    qint64 longestGap = 0;
  };
  auto watch = std::make_shared<Watch>();
  watch->sinceShown.start();
  auto* ticker = new QTimer(&window);
  ticker->setTimerType(Qt::PreciseTimer);
  ticker->setInterval(1);
  QObject::connect(ticker, &QTimer::timeout, &window, [&window, ticker, watch, mode] {
    const qint64 now = watch->sinceShown.nsecsElapsed();
    watch->longestGap = std::max(watch->longestGap, now - watch->lastTick);
    watch->lastTick = now;
    const pages::CameraPage& page = window.cameraPage()->page();
    const bool done = mode == Mode::kClosing ? page.channelOpening() || page.channelOpened() : page.channelOpened().has_value();
    if (!done) return;
    ticker->stop();
    if (mode == Mode::kStall)
      std::printf("%.3f %.3f\n", static_cast<double>(watch->longestGap) / 1e6, static_cast<double>(now) / 1e6);
    window.accept();
  });
  ticker->start();
}

}  // namespace

int main(int argc, char** argv) {
  const std::optional<Mode> chosen = argc == 2 ? modeNamed(argv[1]) : std::nullopt;
  if (!chosen) {
    std::fprintf(stderr, "usage: tovalen-startup-bench shown|stall|closing\n");
    return 2;
  }
  const Mode mode = *chosen;
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qtui::forgoSessionBusWhereNoneRuns();
  int toolkitArgc = 1;
  QApplication application(toolkitArgc, argv);
  qtui::installToolkitTranslation();
  qtui::QtMessagePresenter messages;
  const auto network = pages::systemNetwork();
  qtui::Prompter prompter(messages, nullptr);
  return pages::runProgram("tovalen-startup-bench", prompter, [&] {
    qtui::MainWindow window(messages, *network);
    FirstPaint firstPaint([&] {
      if (mode != Mode::kShown) return tickUntilDone(window, mode);
      std::puts("shown");
      std::fflush(stdout);
      std::_Exit(0);
    });
    window.installEventFilter(&firstPaint);
    window.exec();
  });
}
