// Stand-ins for the seams a page is given: a channel that records what is
// sent and delivers what a test says arrived, a prompter that answers as the
// test says, and a timer on a clock of the test's own. No socket, no
// toolkit, no sleep.
#pragma once

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "discovery/host_network.h"
#include "pages/address_checker.h"
#include "pages/camera_channel.h"
#include "pages/camera_page.h"
#include "pages/prompter.h"
#include "pages/timer.h"

namespace testsupport {

class FakeChannel : public pages::CameraChannel {
 public:
  struct SetIp {
    std::string mac;
    std::uint32_t address;
    std::uint32_t gateway;
  };

  bool open() override { return opens; }
  std::string openError() const override { return opens ? "" : "bind: Address already in use"; }
  void sendSearch() override { ++searches; }
  void sendSetIp(std::string_view mac, std::uint32_t address, std::uint32_t gateway) override {
    setIps.push_back({std::string(mac), address, gateway});
  }
  std::vector<discovery::DecodedRecord> takeRecords() override { return std::exchange(arrived, {}); }
  void close() override { closed = true; }

  bool opens = true;
  bool closed = false;
  int searches = 0;
  std::vector<SetIp> setIps;
  std::vector<discovery::DecodedRecord> arrived;
};

class FakePrompter : public pages::Prompter {
 public:
  struct Shown {
    pages::Prompt prompt;
    bool question;
  };

  void tell(const pages::Prompt& prompt) override {
    shown.push_back({prompt, false});
    if (whileShown) whileShown(prompt);
  }
  bool ask(const pages::Prompt& prompt) override {
    shown.push_back({prompt, true});
    if (whileShown) whileShown(prompt);
    if (answers.empty()) return answer;
    const bool next = answers.front();
    answers.pop_front();
    return next;
  }
  std::optional<std::string> chooseFileToSave(const pages::FileChoice& choice) override {
    fileChoice = choice;
    return fileToSave;
  }
  std::optional<std::string> chooseFileToOpen(const pages::FileChoice& choice) override {
    fileChoice = choice;
    return fileToOpen;
  }
  void copyToClipboard(const std::string& text) override { clipboard = text; }
  void openInBrowser(const std::string& url) override { opened.push_back(url); }

  std::vector<std::string> texts() const {
    std::vector<std::string> all;
    for (const Shown& box : shown) all.push_back(box.prompt.text);
    return all;
  }

  std::vector<Shown> shown;
  bool answer = true;          // for every question not in `answers`
  std::deque<bool> answers;    // the next questions' answers, in turn
  std::function<void(const pages::Prompt&)> whileShown;  // what happens while a box is open
  std::optional<std::string> fileToSave;
  std::optional<std::string> fileToOpen;
  std::optional<pages::FileChoice> fileChoice;
  std::string clipboard;
  std::vector<std::string> opened;
};

// Tasks run only when the test moves the clock on.
class FakeTimer : public pages::Timer {
 public:
  Handle runAfter(std::chrono::milliseconds delay, Task task) override {
    tasks_.emplace(Key{now_ + delay, ++last_}, std::move(task));
    return last_;
  }
  void cancel(Handle task) override {
    std::erase_if(tasks_, [&](const auto& pending) { return pending.first.handle == task; });
  }

  void post(Task task) override {
    std::lock_guard lock(postedMutex_);
    posted_.push_back(std::move(task));
    postedChanged_.notify_all();
  }
  // Waits until `count` tasks were posted in all (another thread posts them),
  // then runs what was posted.
  void runPosted(std::size_t count = 0) {
    std::unique_lock lock(postedMutex_);
    postedChanged_.wait(lock, [&] { return postedInAll_ + posted_.size() >= count; });
    std::vector<Task> due = std::exchange(posted_, {});
    postedInAll_ += due.size();
    lock.unlock();
    for (const Task& task : due) task();
  }

  // Moves the clock on by `by`, running each task that falls due, in turn.
  void advance(std::chrono::milliseconds by) {
    const auto until = now_ + by;
    while (!tasks_.empty() && tasks_.begin()->first.due <= until) {
      auto next = tasks_.extract(tasks_.begin());
      now_ = next.key().due;
      next.mapped()();
    }
    now_ = until;
  }
  // Runs what is due now, and what that makes due now.
  void runDue() { advance(std::chrono::milliseconds(0)); }
  std::size_t pending() const { return tasks_.size(); }
  std::chrono::milliseconds now() const { return now_; }

 private:
  struct Key {
    std::chrono::milliseconds due;
    Handle handle;
    bool operator<(const Key& other) const { return std::tie(due, handle) < std::tie(other.due, other.handle); }
  };
  std::chrono::milliseconds now_{0};
  Handle last_ = 0;
  std::map<Key, Task> tasks_;
  std::mutex postedMutex_;
  std::condition_variable postedChanged_;
  std::vector<Task> posted_;
  std::size_t postedInAll_ = 0;
};

// The link as a test answers it: each check waits until the test answers.
class FakeChecker : public pages::AddressChecker {
 public:
  struct Check : pages::RunningCheck {
    Check(FakeChecker& checker, std::vector<std::uint32_t> addresses, Answered answered)
        : checker(checker), addresses(std::move(addresses)), answered(std::move(answered)) {
      checker.running.push_back(this);
    }
    ~Check() override { std::erase(checker.running, this); }
    FakeChecker& checker;
    std::vector<std::uint32_t> addresses;
    Answered answered;
  };

  std::unique_ptr<pages::RunningCheck> check(std::vector<std::uint32_t> addresses, Answered answered) override {
    for (const std::uint32_t address : addresses) asked.push_back(address);
    return std::make_unique<Check>(*this, std::move(addresses), std::move(answered));
  }
  // Answers `address` in every running check that asked for it.
  void answer(std::uint32_t address, pages::AddressUse use, std::string linkAddress = {}) {
    pages::AddressAnswer answer;
    answer.address = discovery::toIpv4Bytes(address);
    answer.use = use;
    answer.linkAddress = std::move(linkAddress);
    for (Check* check : std::vector<Check*>(running))
      if (std::find(running.begin(), running.end(), check) != running.end() &&
          std::find(check->addresses.begin(), check->addresses.end(), address) != check->addresses.end())
        check->answered(answer);
  }
  // Every address still asked of a running check answered alike.
  void answerAll(pages::AddressUse use) {
    std::vector<std::uint32_t> open;
    for (const Check* check : running) open.insert(open.end(), check->addresses.begin(), check->addresses.end());
    for (const std::uint32_t address : open) answer(address, use);
  }

  std::vector<std::uint32_t> asked;
  std::vector<Check*> running;
};

// The PC's adapters as a test chooses them; no system is asked.
class FakeNetwork : public discovery::HostNetwork {
 public:
  explicit FakeNetwork(std::vector<discovery::Adapter> adapters = {}) : adapters_(std::move(adapters)) {}
  std::optional<std::vector<discovery::Adapter>> adapters() override { return adapters_; }

 private:
  std::vector<discovery::Adapter> adapters_;
};

inline discovery::Adapter adapterAt(discovery::Ipv4Bytes address, int prefixLength, std::string gateway) {
  discovery::Adapter adapter;
  adapter.name = "eth0";
  adapter.index = 2;
  adapter.addresses = {{address, prefixLength}};
  adapter.gateway = std::move(gateway);
  adapter.up = adapter.multicast = true;
  return adapter;
}

// Records reach the page as from its receive thread, and the UI thread
// applies them.
inline void deliver(pages::CameraPage& page, FakeChannel& channel, FakeTimer& timer,
                    std::vector<discovery::DecodedRecord> records) {
  channel.arrived = std::move(records);
  page.recordsArrived();
  timer.runDue();
}

}  // namespace testsupport
