// Setting up the private test namespace's own network with the system's `ip`
// command: veth pairs standing for networks, addresses and routes.
#pragma once

#include <cstdlib>
#include <string>

namespace testsupport {

// Runs one shell command of the set-up; true when it succeeded.
inline bool runCommand(const std::string& command) { return std::system((command + " 2>&1").c_str()) == 0; }

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

 private:
  std::string name_;
  bool ok_ = false;
};

}  // namespace testsupport
