#include "tools/camera/interface_mover.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <optional>
#include <vector>

#include "discovery/host_network.h"
#include "tools/camera/simulated_cameras.h"

extern char** environ;

namespace camerasim {
namespace {

using discovery::formatAddress;
using discovery::Ipv4Bytes;

// The interface as the system lists it now; nothing when it has no IPv4
// address.
std::optional<discovery::Adapter> adapterNamed(const std::string& interfaceName) {
  for (discovery::Adapter& adapter : discovery::SystemNetwork().adapters().value_or(std::vector<discovery::Adapter>{}))
    if (adapter.name == interfaceName) return std::move(adapter);
  return std::nullopt;
}

// What differs from the end state of a move, or empty when nothing does.
std::string mismatchAfterMove(const std::string& interfaceName, const Ipv4Bytes& oldAddress,
                              const Ipv4Bytes& newAddress, int prefixLength, const Ipv4Bytes& newGateway) {
  const auto adapter = adapterNamed(interfaceName);
  const auto has = [&adapter](const Ipv4Bytes& address, std::optional<int> withPrefix) {
    return adapter && std::ranges::any_of(adapter->addresses, [&](const discovery::AssignedAddress& entry) {
             return entry.address == address && (!withPrefix || entry.prefixLength == *withPrefix);
           });
  };
  const std::string after = "after the change, ";
  if (!has(newAddress, prefixLength))
    return after + formatAddress(newAddress) + "/" + std::to_string(prefixLength) + " is not on " + interfaceName;
  if (oldAddress != newAddress && has(oldAddress, std::nullopt))
    return after + formatAddress(oldAddress) + " is still on " + interfaceName;
  if (adapter->gateway != formatAddress(newGateway))
    return after + "the default route is not via " + formatAddress(newGateway) + " on " + interfaceName;
  return "";
}

// A system setting of the interface, as the text of its file under /proc/sys.
class InterfaceSetting {
 public:
  InterfaceSetting(const std::string& interfaceName, const char* name)
      : path_("/proc/sys/net/ipv4/conf/" + interfaceName + "/" + name) {}

  std::optional<std::string> read() const {
    std::ifstream file(path_);
    std::string value;
    if (!(file >> value)) return std::nullopt;
    return value;
  }
  bool write(const std::string& value) const {
    std::ofstream file(path_);
    return static_cast<bool>(file << value << '\n' << std::flush);
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// `ip` by its path: some systems keep it only in /usr/sbin, which an ordinary
// user's PATH lacks.
const char* ipProgram() {
  for (const char* path : {"/usr/bin/ip", "/bin/ip", "/usr/sbin/ip", "/sbin/ip"})
    if (access(path, X_OK) == 0) return path;
  return "ip";  // left to PATH
}

// Runs `ip` with the arguments; its own complaints go to our standard error.
bool runIp(const std::vector<std::string>& arguments, std::string& error) {
  std::vector<char*> argv{const_cast<char*>("ip")};
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  std::string command = "ip";
  for (const std::string& argument : arguments) command += ' ' + argument;

  pid_t child = 0;
  if (const int failed = posix_spawnp(&child, ipProgram(), nullptr, nullptr, argv.data(), environ)) {
    error = "cannot run '" + command + "': " + std::strerror(failed);
    return false;
  }
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return true;
  error = "'" + command + "' failed";
  return false;
}

// One change to the interface and the change that takes it back.
struct Step {
  std::vector<std::string> apply;
  std::vector<std::string> undo;
};

}  // namespace

bool InterfaceMover::available() { return true; }

std::optional<int> InterfaceMover::prefixLengthOf(const Ipv4Bytes& address) const {
  const auto adapter = adapterNamed(interface_);
  if (!adapter) return std::nullopt;
  for (const discovery::AssignedAddress& present : adapter->addresses)
    if (present.address == address) return present.prefixLength;
  return std::nullopt;
}

bool InterfaceMover::move(const Ipv4Bytes& oldAddress, const Ipv4Bytes& oldGateway, const Ipv4Bytes& newAddress,
                          const Ipv4Bytes& newGateway) {
  const std::optional<int> oldPrefix = prefixLengthOf(oldAddress);
  const int prefixLength = oldPrefix.value_or(kDefaultPrefixLength);
  const std::string prefix = "/" + std::to_string(prefixLength);
  const std::string newText = formatAddress(newAddress) + prefix;
  const std::string oldText = formatAddress(oldAddress) + prefix;
  // A camera uses the gateway it is given, in its subnet or not: "onlink".
  const auto defaultRouteVia = [this](const Ipv4Bytes& gateway) {
    return std::vector<std::string>{"-4", "route", "replace", "default", "via", formatAddress(gateway),
                                    "dev",  interface_, "onlink"};
  };

  // The new address comes first, so the interface is never without one, and
  // the old one goes last, as the step least likely to fail. A new address in
  // the old one's subnet joins it as a secondary, which the system deletes
  // along with its primary unless the interface promotes secondaries: it
  // does for the time of the move.
  const InterfaceSetting promotion(interface_, "promote_secondaries");
  const std::optional<std::string> promotedBefore = promotion.read();
  if (!promotedBefore || !promotion.write("1")) {
    error_ = "cannot set " + promotion.path() + ": " + std::strerror(errno);
    return false;
  }
  std::vector<Step> steps;
  if (newAddress != oldAddress || !oldPrefix)
    steps.push_back({{"-4", "address", "add", newText, "dev", interface_},
                     {"-4", "address", "del", newText, "dev", interface_}});
  steps.push_back({defaultRouteVia(newGateway), defaultRouteVia(oldGateway)});
  if (newAddress != oldAddress && oldPrefix)
    steps.push_back({{"-4", "address", "del", oldText, "dev", interface_},
                     {"-4", "address", "add", oldText, "dev", interface_}});

  error_.clear();
  std::size_t done = 0;
  while (done < steps.size() && runIp(steps[done].apply, error_)) ++done;
  if (done == steps.size()) error_ = mismatchAfterMove(interface_, oldAddress, newAddress, prefixLength, newGateway);
  if (!error_.empty()) {
    std::string ignored;
    while (done > 0) runIp(steps[--done].undo, ignored);
  }
  promotion.write(*promotedBefore);
  return error_.empty();
}

}  // namespace camerasim
