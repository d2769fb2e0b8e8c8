// Plays the cameras of a test or benchmark without holding the discovery
// port, which the program under test keeps to itself: a packet capture on
// loopback lets through only the searches that arrive there, and a
// thread of its own hands each one to the caller, who answers as the
// cameras would (from a socket of its own).
#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <thread>

namespace testsupport {

class SearchResponder {
 public:
  // `answer` runs on the responder's thread with the search's number,
  // counted from 1.
  explicit SearchResponder(std::function<void(std::size_t search)> answer);
  ~SearchResponder();
  SearchResponder(const SearchResponder&) = delete;
  SearchResponder& operator=(const SearchResponder&) = delete;

  bool ok() const { return thread_.joinable(); }
  std::size_t searchesAnswered() const { return answered_; }

 private:
  void serve();

  int capture_ = -1;
  int stopRead_ = -1;
  int stopWrite_ = -1;
  std::function<void(std::size_t)> answer_;
  std::atomic<std::size_t> answered_{0};
  std::thread thread_;
};

}  // namespace testsupport
