// A program started as a process of its own, as a user starts it, with a few
// environment variables added; killed if it is still running at the end.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace labtest {

class ProgramProcess {
 public:
  // `environment` holds NAME=VALUE entries that add to or replace ours.
  ProgramProcess(const std::string& path, const std::vector<std::string>& environment);
  ~ProgramProcess();
  ProgramProcess(const ProgramProcess&) = delete;
  ProgramProcess& operator=(const ProgramProcess&) = delete;

  bool started() const { return pid_ > 0; }
  pid_t pid() const { return pid_; }
  bool running();
  // Waits for the end, up to `timeout`: the wait status (see waitpid) once it
  // has ended.
  std::optional<int> waitForExit(std::chrono::milliseconds timeout);

 private:
  pid_t pid_ = -1;
  int pidHandle_ = -1;  // readable once the process has ended
  std::optional<int> status_;
};

// "exit code N", "killed by signal N" or "still running", for messages.
std::string describeStatus(const std::optional<int>& status);

}  // namespace labtest
