#include "discovery/platform/linux/port_holders.h"

#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>

namespace discovery {
namespace {

namespace fs = std::filesystem;

template <class Number>
bool readNumber(std::string_view text, Number& value, int base = 10) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  return error == std::errc() && end == text.data() + text.size();
}

std::string contentsOf(const fs::path& path) {
  std::ifstream file(path);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// "socket:[INODE]" -> INODE.
std::optional<unsigned long> socketInodeOf(const fs::path& descriptor) {
  std::error_code error;
  const std::string target = fs::read_symlink(descriptor, error).string();
  constexpr std::string_view kPrefix = "socket:[";
  unsigned long inode = 0;
  if (error || !target.starts_with(kPrefix) || !target.ends_with(']') ||
      !readNumber(std::string_view(target).substr(kPrefix.size(), target.size() - kPrefix.size() - 1), inode))
    return std::nullopt;
  return inode;
}

// The socket inodes among a process's descriptors; none where it may not be read.
std::set<unsigned long> socketInodesOf(const fs::path& process) {
  std::set<unsigned long> inodes;
  std::error_code error;
  for (fs::directory_iterator entry(process / "fd", error), end; !error && entry != end; entry.increment(error))
    if (const auto inode = socketInodeOf(entry->path())) inodes.insert(*inode);
  return inodes;
}

std::string programOf(const fs::path& process) {
  std::string name = contentsOf(process / "comm");
  while (!name.empty() && (name.back() == '\n' || name.back() == '\r')) name.pop_back();
  return name;
}

}  // namespace

std::vector<unsigned long> socketInodesOnPort(std::string_view listing, std::uint16_t port) {
  std::vector<unsigned long> inodes;
  std::istringstream lines{std::string(listing)};
  std::string line;
  std::getline(lines, line);  // the column names
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::vector<std::string> field{std::istream_iterator<std::string>(fields), std::istream_iterator<std::string>()};
    // sl, local_address, rem_address, st, tx:rx, tr:when, retrnsmt, uid, timeout, inode, ...
    if (field.size() < 10) continue;
    const auto colon = field[1].find(':');
    unsigned localPort = 0;
    unsigned long inode = 0;
    if (colon == std::string::npos || !readNumber(std::string_view(field[1]).substr(colon + 1), localPort, 16) ||
        localPort != port || !readNumber(field[9], inode) || inode == 0)
      continue;
    inodes.push_back(inode);
  }
  return inodes;
}

std::vector<PortHolder> portHolders(std::uint16_t port) {
  std::set<unsigned long> others;
  // An IPv6 socket bound to the port takes it from IPv4 too, unless it is
  // IPv6 only.
  for (const char* listing : {"/proc/net/udp", "/proc/net/udp6"})
    for (unsigned long inode : socketInodesOnPort(contentsOf(listing), port)) others.insert(inode);
  // This program's own sockets are not another's.
  for (unsigned long inode : socketInodesOf("/proc/self")) others.erase(inode);
  std::vector<PortHolder> holders;
  const long self = static_cast<long>(::getpid());
  std::error_code error;
  for (fs::directory_iterator entry("/proc", error), end; !error && entry != end && !others.empty();
       entry.increment(error)) {
    long processId = 0;
    if (!readNumber(entry->path().filename().string(), processId) || processId == self) continue;
    const auto inodes = socketInodesOf(entry->path());
    const bool holds = std::any_of(others.begin(), others.end(), [&](unsigned long inode) { return inodes.count(inode); });
    if (!holds) continue;
    holders.push_back({processId, programOf(entry->path())});
    for (unsigned long inode : inodes) others.erase(inode);
  }
  // Sockets of processes that may not be read: taken, by whom unknown.
  if (!others.empty()) holders.push_back({});
  return holders;
}

}  // namespace discovery
