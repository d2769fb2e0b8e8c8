// Setting up the private test namespace's own network with the system's `ip`
// and `tc` commands and its settings: veth pairs standing for networks,
// addresses and routes, queues that never drain, kernel settings.
#pragma once

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

namespace testsupport {

// A shell command with the system's directories on its PATH: Debian keeps
// `tc` (other systems `ip` too) only in /usr/sbin, which an ordinary user's
// PATH lacks.
inline std::string withSystemTools(const std::string& command) {
  return "PATH=\"${PATH:+$PATH:}/usr/sbin:/sbin\"; " + command;
}

// Runs one shell command of the set-up; true when it succeeded.
inline bool runCommand(const std::string& command) {
  return std::system((withSystemTools(command) + " 2>&1").c_str()) == 0;
}

// Why the set-up cannot run `tool` here (from the Debian package `package`),
// or empty when it can.
inline std::string missingTool(const std::string& tool, const std::string& package) {
  if (runCommand("command -v " + tool + " >/dev/null")) return {};
  return tool + " is not installed (Debian package " + package + ")";
}

// A veth pair standing for one network: `name` is this machine's end, up and
// with `address` (ADDRESS/PREFIX) when one is given; `name`-far is the far
// end, up and unaddressed, where a test can watch the network. Removed when
// it goes (its far end with it).
class VethPair {
 public:
  explicit VethPair(std::string name, const std::string& address = {}) : name_(std::move(name)) {
    ok_ = runCommand("ip link add " + name_ + " type veth peer name " + farEnd() + " && ip link set " + farEnd() +
                     " up && ip link set " + name_ + " up" +
                     (address.empty() ? std::string() : " && ip address add " + address + " dev " + name_));
  }
  ~VethPair() { runCommand("ip link del " + name_ + " 2>/dev/null; true"); }
  VethPair(const VethPair&) = delete;
  VethPair& operator=(const VethPair&) = delete;

  bool ok() const { return ok_; }
  const std::string& name() const { return name_; }
  std::string farEnd() const { return name_ + "-far"; }

  // What is put on the far end's link is dropped until the kernel has
  // noticed its carrier, a moment after the pair came up; its operational
  // state then turns up. Waits for that, ten seconds at most.
  bool waitUntilOperational() const {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!runCommand("ip -o link show dev " + farEnd() + " | grep -q 'state UP' >/dev/null")) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      std::this_thread::yield();
    }
    return true;
  }

  // From here on, what leaves through this end waits in its queue, which has
  // room for all of it, for ever (a token bucket of one byte a second), as
  // behind an adapter that has stopped sending; until release(). Needs `tc`
  // (missingTool("tc", "iproute2")).
  bool stall() { return runCommand("tc qdisc add dev " + name_ + " root tbf rate 8bit burst 1600 limit 100000000"); }
  void release() { runCommand("tc qdisc del dev " + name_ + " root"); }

 private:
  std::string name_;
  bool ok_ = false;
};

// A kernel setting of the test's own network namespace, by its path under
// /proc/sys (net/ipv4/igmp_max_memberships, say), changed while it lives and
// then put back.
class KernelSetting {
 public:
  KernelSetting(const std::string& name, const std::string& value) : path_("/proc/sys/" + name) {
    std::ifstream(path_) >> previous_;
    ok_ = !previous_.empty() && write(value);
  }
  ~KernelSetting() {
    if (ok_) write(previous_);
  }
  KernelSetting(const KernelSetting&) = delete;
  KernelSetting& operator=(const KernelSetting&) = delete;

  bool ok() const { return ok_; }

 private:
  bool write(const std::string& value) const {
    std::ofstream setting(path_);
    setting << value << std::flush;
    return static_cast<bool>(setting);
  }

  std::string path_;
  std::string previous_;
  bool ok_ = false;
};

}  // namespace testsupport
