// Address-check benchmark: 50 addresses checked at once, three of them held
// by squatters that ignore pings, as the PC of the link that
// tests/discovery/run-beside-squatters.sh builds (make bench-address). Each
// run starts with the PC's neighbour table emptied, so that every address is
// resolved afresh. Prints, over the runs, the time to the last taken address
// and to the last answer of all, and the runs whose answers were all right;
// then the same check as the pages start it, its answers handed to a Qt UI
// thread, with the longest gap between ticks of a 1 ms timer there.
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include "discovery/address_check.h"
#include "pages/address_checker.h"
#include "qt/timer.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kAddresses = 50;
constexpr int kFirstEmptyHost = 150;

struct Run {
  double millisecondsToLastTaken = 0;
  double millisecondsToAll = 0;
  bool right = true;
};

std::set<discovery::Ipv4Bytes> squatters() {
  std::set<discovery::Ipv4Bytes> taken;
  std::istringstream listed(std::getenv("TOVALEN_SQUATTERS") ? std::getenv("TOVALEN_SQUATTERS") : "");
  std::string entry;
  while (listed >> entry)
    if (const auto address = discovery::parseAddress(entry.substr(0, entry.find('=')))) taken.insert(*address);
  return taken;
}

Run measure(discovery::HostNetwork& network, const std::set<discovery::Ipv4Bytes>& taken,
            const std::vector<discovery::Ipv4Bytes>& addresses) {
  std::mutex mutex;
  std::condition_variable changed;
  std::size_t answered = 0;
  Run run;
  const auto started = Clock::now();
  const auto since = [&started] {
    return std::chrono::duration<double, std::milli>(Clock::now() - started).count();
  };
  const discovery::AddressCheck check(network, discovery::systemAddressProbe(), addresses,
                                      [&](const discovery::AddressAnswer& answer) {
                                        const std::lock_guard lock(mutex);
                                        const bool isTaken = taken.contains(answer.address);
                                        const auto expected =
                                            isTaken ? discovery::AddressUse::InUse : discovery::AddressUse::Free;
                                        run.right = run.right && answer.use == expected;
                                        if (isTaken) run.millisecondsToLastTaken = since();
                                        run.millisecondsToAll = since();
                                        ++answered;
                                        changed.notify_all();
                                      });
  std::unique_lock lock(mutex);
  changed.wait(lock, [&] { return answered == addresses.size(); });
  return run;
}

double millisecondsBetween(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double, std::milli>(to - from).count();
}

// The check started on the UI thread, as Apply and the batch dialog start
// it, and its answers heard there: the longest the thread went without
// running its 1 ms timer, from the start of the check to its last answer.
// `checker` null: the same loop as long, with no check, to tell the
// machine's own scheduling delays from the check's.
struct Stall {
  double longestMs = 0;
  double runMs = 0;
};
Stall longestStall(pages::AddressChecker* checker, const std::vector<discovery::Ipv4Bytes>& addresses,
                   double idleMs = 0) {
  std::vector<std::uint32_t> values;
  for (const auto& address : addresses) values.push_back(discovery::toFieldsValue(address));
  QEventLoop loop;
  QTimer ticker;
  ticker.setTimerType(Qt::PreciseTimer);
  ticker.setInterval(1);
  Stall stall;
  const Clock::time_point started = Clock::now();
  Clock::time_point lastTick = started;
  const auto tick = [&] {
    const auto now = Clock::now();
    stall.longestMs = std::max(stall.longestMs, millisecondsBetween(lastTick, now));
    lastTick = now;
    if (!checker && millisecondsBetween(started, now) >= idleMs) loop.quit();
  };
  QObject::connect(&ticker, &QTimer::timeout, tick);
  ticker.start();
  std::size_t answered = 0;
  std::unique_ptr<pages::RunningCheck> running;
  if (checker)
    running = checker->check(values, [&](const discovery::AddressAnswer&) {
      tick();
      if (++answered == values.size()) loop.quit();
    });
  loop.exec();
  stall.runMs = millisecondsBetween(started, Clock::now());
  return stall;
}

std::string spread(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  char text[96];
  std::snprintf(text, sizeof text, "%.1f (%.1f–%.1f)", values[values.size() / 2], values.front(), values.back());
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
  const auto taken = squatters();
  if (taken.empty()) {
    std::fprintf(stderr, "no squatters listed: run through tests/discovery/run-beside-squatters.sh\n");
    return 1;
  }
  std::vector<discovery::Ipv4Bytes> addresses(taken.begin(), taken.end());
  for (int host = kFirstEmptyHost; addresses.size() < kAddresses; ++host)
    addresses.push_back({192, 168, 1, static_cast<std::uint8_t>(host)});

  discovery::SystemNetwork network;
  std::vector<double> toLastTaken, toAll;
  int right = 0;
  for (int i = 0; i < runs; ++i) {
    if (std::system("ip neigh flush dev eth0") != 0) return 1;
    const Run run = measure(network, taken, addresses);
    toLastTaken.push_back(run.millisecondsToLastTaken);
    toAll.push_back(run.millisecondsToAll);
    right += run.right;
  }
  std::printf("| addresses | taken | runs all right | ms to the last taken | ms to the last answer |\n");
  std::printf("|---|---|---|---|---|\n");
  std::printf("| %zu | %zu | %d/%d | %s | %s |\n", addresses.size(), taken.size(), right, runs,
              spread(toLastTaken).c_str(), spread(toAll).c_str());

  qtui::Timer timer;
  pages::LinkAddressChecker checker(network, timer);
  std::vector<double> checking, idle;
  for (int i = 0; i < runs; ++i) {
    if (std::system("ip neigh flush dev eth0") != 0) return 1;
    const Stall stall = longestStall(&checker, addresses);
    checking.push_back(stall.longestMs);
    idle.push_back(longestStall(nullptr, addresses, stall.runMs).longestMs);
  }
  std::printf("\n| addresses | longest UI stall ms while checking | the same loop as long, idle |\n|---|---|---|\n"
              "| %zu | %s | %s |\n",
              addresses.size(), spread(checking).c_str(), spread(idle).c_str());
  return 0;
}
