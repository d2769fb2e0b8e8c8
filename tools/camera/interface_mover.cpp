#include "tools/camera/interface_mover.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <netinet/in.h>
#include <spawn.h>
#include <sys/wait.h>

#include <bit>
#include <cerrno>
#include <cstring>
#include <optional>
#include <vector>

extern char** environ;

namespace camerasim {
namespace {

using discovery::formatAddress;
using discovery::Ipv4Bytes;

constexpr int kDefaultPrefixLength = 24;

// The prefix length of `address` on the interface, if the interface has it.
std::optional<int> prefixLengthOn(const std::string& interfaceName, const Ipv4Bytes& address) {
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return std::nullopt;
  std::optional<int> prefixLength;
  for (const ifaddrs* entry = list; entry && !prefixLength; entry = entry->ifa_next) {
    if (!entry->ifa_addr || !entry->ifa_netmask || entry->ifa_addr->sa_family != AF_INET ||
        interfaceName != entry->ifa_name)
      continue;
    const auto* local = reinterpret_cast<const sockaddr_in*>(entry->ifa_addr);
    if (std::memcmp(&local->sin_addr.s_addr, address.data(), address.size()) != 0) continue;
    const auto* mask = reinterpret_cast<const sockaddr_in*>(entry->ifa_netmask);
    prefixLength = std::popcount(mask->sin_addr.s_addr);
  }
  freeifaddrs(list);
  return prefixLength;
}

// Runs `ip` with the arguments; its own complaints go to our standard error.
bool runIp(const std::vector<std::string>& arguments, std::string& error) {
  std::vector<char*> argv{const_cast<char*>("ip")};
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  std::string command = "ip";
  for (const std::string& argument : arguments) command += ' ' + argument;

  pid_t child = 0;
  if (const int failed = posix_spawnp(&child, "ip", nullptr, nullptr, argv.data(), environ)) {
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

bool InterfaceMover::move(const Ipv4Bytes& oldAddress, const Ipv4Bytes& oldGateway, const Ipv4Bytes& newAddress,
                          const Ipv4Bytes& newGateway) {
  const std::optional<int> oldPrefix = prefixLengthOn(interface_, oldAddress);
  const std::string prefix = "/" + std::to_string(oldPrefix.value_or(kDefaultPrefixLength));
  const std::string oldText = formatAddress(oldAddress) + prefix;
  const std::string newText = formatAddress(newAddress) + prefix;
  // A camera uses the gateway it is given, in its subnet or not: "onlink".
  const auto defaultRouteVia = [this](const Ipv4Bytes& gateway) {
    return std::vector<std::string>{"-4", "route", "replace", "default", "via", formatAddress(gateway),
                                    "dev",  interface_, "onlink"};
  };

  // The new address comes first, so the interface is never without one, and
  // the old one goes last, as the step least likely to fail.
  std::vector<Step> steps;
  if (newAddress != oldAddress || !oldPrefix)
    steps.push_back({{"-4", "address", "add", newText, "dev", interface_},
                     {"-4", "address", "del", newText, "dev", interface_}});
  steps.push_back({defaultRouteVia(newGateway), defaultRouteVia(oldGateway)});
  if (newAddress != oldAddress && oldPrefix)
    steps.push_back({{"-4", "address", "del", oldText, "dev", interface_},
                     {"-4", "address", "add", oldText, "dev", interface_}});

  error_.clear();
  for (auto step = steps.begin(); step != steps.end(); ++step) {
    if (runIp(step->apply, error_)) continue;
    std::string ignored;
    while (step != steps.begin()) runIp((--step)->undo, ignored);
    return false;
  }
  return true;
}

}  // namespace camerasim
