#include "scenarios.h"

#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <atomic>
#include <chrono>
#include <fstream>
#include <thread>

#include "burst.h"
#include "discovery/channel.h"
#include "discovery/datagram_socket.h"
#include "ui/camera_list_model.h"
#include "ui/dialog_builder.h"
#include "ui/dlg_update_ip.h"
#include "ui/message_box.h"

namespace bench {
namespace {

using Clock = std::chrono::steady_clock;
// A burst that stopped growing for this long after the sender finished is
// over; whatever is missing by then was lost.
constexpr auto kQuietEnd = std::chrono::milliseconds(700);

double millisecondsBetween(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double, std::milli>(to - from).count();
}

std::size_t residentBytes() {
  std::ifstream statm("/proc/self/statm");
  std::size_t size = 0, resident = 0;
  statm >> size >> resident;
  return resident * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}

// Runs the UI thread's event loop until `listed()` reaches `cameras` or stops
// growing after the burst, watching how long the loop ever went without
// running a 1 ms timer.
Outcome watchUiThread(std::size_t cameras, Clock::time_point start, const std::atomic<bool>& sent,
                      const std::function<std::size_t()>& listed) {
  Outcome outcome;
  Clock::time_point lastTick = Clock::now(), lastGrowth = lastTick;
  std::size_t lastCount = 0;
  QEventLoop loop;
  QTimer ticker;
  ticker.setTimerType(Qt::PreciseTimer);
  ticker.setInterval(1);
  QObject::connect(&ticker, &QTimer::timeout, [&] {
    const auto now = Clock::now();
    outcome.longestStallMs = std::max(outcome.longestStallMs, millisecondsBetween(lastTick, now));
    lastTick = now;
    const std::size_t count = listed();
    if (count != lastCount) {
      lastCount = count;
      lastGrowth = now;
      outcome.millisecondsToLast = millisecondsBetween(start, now);
    }
    if (count >= cameras || (sent && now - lastGrowth > kQuietEnd)) loop.quit();
  });
  ticker.start();
  loop.exec();
  outcome.listed = lastCount;
  return outcome;
}

}  // namespace

Outcome measurePage(std::size_t cameras, int receiveBufferBytes) {
  const auto replies = makeReplies(cameras);
  ui::QtMessagePresenter messages;
  ui::CDlgUpdateIP page(messages, nullptr, {receiveBufferBytes});
  page.show();
  QCoreApplication::processEvents();
  const std::size_t residentBefore = residentBytes();

  std::atomic<bool> sent{false};
  const auto start = Clock::now();
  QTest::mouseClick(ui::control<QPushButton>(&page, 1018), Qt::LeftButton);
  std::thread sender([&] {
    sendBurst(replies);
    sent = true;
  });
  Outcome outcome = watchUiThread(cameras, start, sent, [&] { return std::size_t(page.cameraModel().rowCount()); });
  sender.join();
  if (outcome.listed > 0)
    outcome.residentBytesPerCamera = double(residentBytes() - residentBefore) / double(outcome.listed);
  return outcome;
}

Outcome measureLiteral(std::size_t cameras) {
  const auto replies = makeReplies(cameras);
  ui::CameraListModel model;
  QTreeView list;
  list.setUniformRowHeights(true);
  list.setModel(&model);
  list.show();

  discovery::DatagramSocket socket;
  if (!socket.create() || !socket.bindAny(discovery::DISCOVERY_PORT) || !socket.joinGroup(discovery::DISCOVERY_GROUP))
    return {};
  std::atomic<bool> receiverDone{false};
  std::thread receiver([&] {
    std::vector<discovery::ReceivedDatagram> slot(1);
    while (socket.receive(slot).status == discovery::ReceiveResult::Status::Received) {
      const auto decoded = discovery::decode(slot[0].payload());
      if (!decoded) continue;
      const discovery::DecodedRecord record = *decoded;
      // The receive thread waits until the UI thread has handled each reply.
      QMetaObject::invokeMethod(&model, [&] { model.apply({&record, 1}); }, Qt::BlockingQueuedConnection);
    }
    receiverDone = true;
  });
  std::atomic<bool> sent{false};
  const auto start = Clock::now();
  std::thread sender([&] {
    sendBurst(replies);
    sent = true;
  });
  Outcome outcome = watchUiThread(cameras, start, sent, [&] { return std::size_t(model.rowCount()); });
  sender.join();
  socket.interrupt();
  // The receiver may be waiting for the UI thread; keep serving it until it ends.
  while (!receiverDone) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  receiver.join();
  return outcome;
}

Outcome measureBare(std::size_t cameras, int receiveBufferBytes) {
  const auto replies = makeReplies(cameras);
  discovery::DatagramSocket socket;
  if (!socket.create() || !socket.bindAny(discovery::DISCOVERY_PORT) || !socket.joinGroup(discovery::DISCOVERY_GROUP))
    return {};
  socket.requestReceiveBuffer(receiveBufferBytes);
  std::atomic<std::size_t> counted{0};
  std::atomic<bool> sent{false};
  Clock::time_point last;
  const auto start = Clock::now();
  std::thread receiver([&] {
    std::vector<discovery::ReceivedDatagram> batch(64);
    for (;;) {
      const auto result = socket.receive(batch);
      if (result.status != discovery::ReceiveResult::Status::Received) return;
      last = Clock::now();
      if ((counted += result.count) >= cameras) return;
    }
  });
  std::thread sender([&] {
    sendBurst(replies);
    sent = true;
  });
  // Watch from here: the counter stops growing once the burst is over.
  std::size_t seen = 0;
  auto lastGrowth = Clock::now();
  while (counted < cameras) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    if (counted != seen) {
      seen = counted;
      lastGrowth = Clock::now();
    } else if (sent && Clock::now() - lastGrowth > kQuietEnd) {
      break;
    }
  }
  socket.interrupt();
  receiver.join();
  sender.join();
  return {counted, millisecondsBetween(start, last), 0, 0};
}

}  // namespace bench
