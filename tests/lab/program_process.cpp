#include "lab/program_process.h"

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

extern char** environ;

namespace labtest {
namespace {

std::vector<std::string> mergedEnvironment(const std::vector<std::string>& added) {
  std::vector<std::string> merged;
  const auto nameOf = [](const std::string& entry) { return entry.substr(0, entry.find('=') + 1); };
  for (char** entry = environ; *entry; ++entry) {
    const std::string existing = *entry;
    bool replaced = false;
    for (const std::string& addition : added) replaced = replaced || nameOf(addition) == nameOf(existing);
    if (!replaced) merged.push_back(existing);
  }
  merged.insert(merged.end(), added.begin(), added.end());
  return merged;
}

}  // namespace

ProgramProcess::ProgramProcess(const std::string& path, const std::vector<std::string>& environment) {
  std::vector<std::string> variables = mergedEnvironment(environment);
  std::vector<char*> envp;
  for (std::string& variable : variables) envp.push_back(variable.data());
  envp.push_back(nullptr);
  char* argv[] = {const_cast<char*>(path.c_str()), nullptr};
  if (posix_spawn(&pid_, path.c_str(), nullptr, nullptr, argv, envp.data()) != 0) {
    pid_ = -1;
    return;
  }
  pidHandle_ = static_cast<int>(syscall(SYS_pidfd_open, pid_, 0));
}

ProgramProcess::~ProgramProcess() {
  if (started() && running()) {
    kill(pid_, SIGKILL);
    waitForExit(std::chrono::milliseconds(-1));
  }
  if (pidHandle_ >= 0) close(pidHandle_);
}

bool ProgramProcess::running() {
  return !waitForExit(std::chrono::milliseconds(0));
}

std::optional<int> ProgramProcess::waitForExit(std::chrono::milliseconds timeout) {
  if (status_ || !started()) return status_;
  pollfd ended{pidHandle_, POLLIN, 0};
  int ready;
  do {
    ready = poll(&ended, 1, static_cast<int>(timeout.count()));
  } while (ready < 0 && errno == EINTR);
  if (ready != 1) return std::nullopt;
  int status = 0;
  if (waitpid(pid_, &status, 0) == pid_) status_ = status;
  return status_;
}

std::string describeStatus(const std::optional<int>& status) {
  if (!status) return "still running";
  if (WIFEXITED(*status)) return "exit code " + std::to_string(WEXITSTATUS(*status));
  if (WIFSIGNALED(*status)) return std::string("killed by signal ") + strsignal(WTERMSIG(*status));
  return "wait status " + std::to_string(*status);
}

}  // namespace labtest
