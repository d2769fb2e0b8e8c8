// Traffic beside the answers: datagrams sent to the discovery group from a
// socket and a thread of their own, one every `interval` on average, from
// construction until destruction.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <functional>
#include <thread>
#include <utility>

#include "discovery/channel.h"
#include "discovery/datagram_socket.h"

namespace testsupport {

class DatagramStream {
 public:
  // `next` runs on the stream's thread with the datagram's number, from 0.
  DatagramStream(std::function<discovery::Bytes(std::size_t)> next, std::chrono::microseconds interval)
      : next_(std::move(next)), ok_(sender_.create()), thread_([this, interval] { run(interval); }) {}
  ~DatagramStream() {
    stop_ = true;
    thread_.join();
  }
  DatagramStream(const DatagramStream&) = delete;
  DatagramStream& operator=(const DatagramStream&) = delete;

  bool ok() const { return ok_; }

 private:
  void run(std::chrono::microseconds interval) {
    // Paced by a schedule rather than by sleeps in a row, so that the rate
    // holds however late the thread wakes.
    auto due = std::chrono::steady_clock::now();
    for (std::size_t sent = 0; ok_ && !stop_; ++sent) {
      sender_.sendTo(discovery::DISCOVERY_GROUP, discovery::DISCOVERY_PORT, next_(sent));
      std::this_thread::sleep_until(due += interval);
    }
  }

  std::function<discovery::Bytes(std::size_t)> next_;
  discovery::DatagramSocket sender_;
  const bool ok_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

}  // namespace testsupport
