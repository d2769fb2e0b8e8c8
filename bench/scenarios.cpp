#include "scenarios.h"

#include <QApplication>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTest>
#include <QTimer>
#include <QTableView>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>

#include "burst.h"
#include "pages/camera_list.h"
#include "discovery/channel.h"
#include "discovery/datagram_socket.h"
#include "discovery/host_network.h"
#include "qt/camera_page.h"
#include "qt/dialog_builder.h"
#include "qt/message_box.h"
#include "res/resource_ids.h"
#include "support/datagram_stream.h"
#include "support/hostile_datagrams.h"
#include "support/kernel_counters.h"

namespace bench {
namespace {

using Clock = std::chrono::steady_clock;
// Nothing new listed for this long: whatever is missing by then stays
// missing (it spans a search round and the window that follows it).
constexpr auto kGiveUp = std::chrono::milliseconds(2000);

// The machine's own adapters, with the receive buffer the scenario asks for.
class BenchNetwork : public discovery::SystemNetwork {
 public:
  explicit BenchNetwork(int receiveBufferBytes) : receiveBufferBytes_(receiveBufferBytes) {}
  int receiveBufferRequest() const override { return receiveBufferBytes_; }

 private:
  int receiveBufferBytes_;
};

double millisecondsBetween(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double, std::milli>(to - from).count();
}

// Runs the UI thread's event loop until `listed()` reaches `cameras` or stops
// growing, watching how long the loop ever went without running a 1 ms timer.
Outcome watchUiThread(std::size_t cameras, Clock::time_point start, const std::function<std::size_t()>& listed) {
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
    if (count >= cameras || now - lastGrowth > kGiveUp) loop.quit();
  });
  ticker.start();
  loop.exec();
  outcome.listed = lastCount;
  return outcome;
}

// A socket on the discovery port, joined on every searchable adapter, as the
// channel's own is; the search it sends starts the burst.
bool openListener(discovery::DatagramSocket& socket, int receiveBufferBytes) {
  if (!socket.create() || !socket.bindAny(discovery::DISCOVERY_PORT)) return false;
  if (receiveBufferBytes > 0) socket.requestReceiveBuffer(receiveBufferBytes);
  discovery::SystemNetwork network;
  for (const auto& adapter : discovery::multicastAdapters(network.adapters().value_or(std::vector<discovery::Adapter>{})))
    if (!socket.joinGroup(discovery::DISCOVERY_GROUP, adapter) || !socket.setMulticastInterface(adapter)) return false;
  return true;
}

void search(discovery::DatagramSocket& socket) {
  socket.sendTo(discovery::DISCOVERY_GROUP, discovery::DISCOVERY_PORT,
                discovery::encodeDatagram(discovery::CMD_SEARCH, {}));
}

}  // namespace

Outcome measurePage(std::size_t cameras, int receiveBufferBytes, int junkPerSecond) {
  Cameras answering(cameras);
  if (!answering.ok()) return {};
  std::unique_ptr<testsupport::DatagramStream> junk;
  if (junkPerSecond > 0) {
    junk = std::make_unique<testsupport::DatagramStream>(testsupport::strayDatagram,
                                                         std::chrono::microseconds(1000000 / junkPerSecond));
    if (!junk->ok()) return {};
  }
  qtui::QtMessagePresenter messages;
  BenchNetwork network(receiveBufferBytes);
  qtui::CameraPage page(messages, network, nullptr);
  page.show();
  while (!page.page().channelOpened()) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  const long residentBefore = testsupport::residentBytes();

  const auto start = Clock::now();
  QTest::mouseClick(qtui::control(&page, ui::ids::camera_page::kSearch), Qt::LeftButton);
  Outcome outcome = watchUiThread(cameras, start, [&] { return std::size_t(page.cameraModel().rowCount()); });
  if (outcome.listed > 0)
    outcome.residentBytesPerCamera = double(testsupport::residentBytes() - residentBefore) / double(outcome.listed);
  outcome.searches = answering.searchesAnswered();
  return outcome;
}

Outcome measureLiteral(std::size_t cameras) {
  Cameras answering(cameras);
  // The list filled a reply at a time, as a plain item list would be.
  pages::ShownCameraList rows;
  QStandardItemModel model(0, 3);
  QTableView list;
  list.setModel(&model);
  list.show();

  discovery::DatagramSocket socket;
  if (!answering.ok() || !openListener(socket, 0)) return {};
  std::atomic<bool> receiverDone{false};
  std::thread receiver([&] {
    std::vector<discovery::ReceivedDatagram> slot(1);
    while (socket.receive(slot).status == discovery::ReceiveResult::Status::Received) {
      const auto decoded = discovery::decode(slot[0].payload());
      if (!decoded) continue;
      const discovery::DecodedRecord record = *decoded;
      // The receive thread waits until the UI thread has handled each reply.
      const auto applyOne = [&] {
        rows.absorb({&record, 1});
        const auto changes = rows.publish();
        for (std::size_t row = changes.shownBefore; row < changes.shown; ++row) {
          const pages::CameraRow& camera = rows.cameras().row(row);
          model.appendRow({new QStandardItem(QString::fromStdString(camera.mac)),
                           new QStandardItem(QString::fromStdString(camera.ip)),
                           new QStandardItem(QString::fromStdString(camera.gateway))});
        }
      };
      QMetaObject::invokeMethod(&model, applyOne, Qt::BlockingQueuedConnection);
    }
    receiverDone = true;
  });
  const auto start = Clock::now();
  search(socket);
  Outcome outcome = watchUiThread(cameras, start, [&] { return std::size_t(model.rowCount()); });
  socket.interrupt();
  // The receiver may be waiting for the UI thread; keep serving it until it ends.
  while (!receiverDone) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  receiver.join();
  outcome.searches = answering.searchesAnswered();
  return outcome;
}

Outcome measureBare(std::size_t cameras, int receiveBufferBytes) {
  Cameras answering(cameras);
  discovery::DatagramSocket socket;
  if (!answering.ok() || !openListener(socket, receiveBufferBytes)) return {};
  std::atomic<std::size_t> counted{0};
  Clock::time_point last;
  const auto start = Clock::now();
  std::thread receiver([&] {
    std::vector<discovery::ReceivedDatagram> batch(discovery::kReceiveBatch);
    for (;;) {
      const auto result = socket.receive(batch);
      if (result.status != discovery::ReceiveResult::Status::Received) return;
      std::size_t replies = 0;
      for (std::size_t i = 0; i < result.count; ++i) replies += discovery::decode(batch[i].payload()).has_value();
      if (replies == 0) continue;
      last = Clock::now();
      if ((counted += replies) >= cameras) return;
    }
  });
  search(socket);
  // Watch from here: the counter stops growing once the burst is over.
  std::size_t seen = 0;
  auto lastGrowth = Clock::now();
  while (counted < cameras) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    if (counted != seen) {
      seen = counted;
      lastGrowth = Clock::now();
    } else if (Clock::now() - lastGrowth > kGiveUp) {
      break;
    }
  }
  socket.interrupt();
  receiver.join();
  return {counted, millisecondsBetween(start, last), 0, 0, answering.searchesAnswered()};
}

}  // namespace bench
