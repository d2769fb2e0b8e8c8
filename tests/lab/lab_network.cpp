#include "lab/lab_network.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>

#include <gtest/gtest.h>

#include "discovery/channel.h"
#include "discovery/datagram_socket.h"
#include "support/kernel_counters.h"
#include "tools/camera/udp_echo.h"

namespace labtest {
namespace {

// Neighbour discovery gives up on an address after about three seconds.
constexpr int kProbeTimeoutMs = 10000;

bool sameFile(const std::string& a, const std::string& b) {
  struct stat first {};
  struct stat second {};
  return stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0 && first.st_dev == second.st_dev &&
         first.st_ino == second.st_ino;
}

}  // namespace

bool insideLabPc(std::string& why) {
  const char* tryNamespace = std::getenv("TOVALEN_TRY_NETNS");
  if (tryNamespace && *tryNamespace) {
    char current[64] = {};
    if (readlink("/proc/self/ns/net", current, sizeof current - 1) > 0 && std::string(current) == tryNamespace)
      return true;
    why = std::string("this process is not in the network namespace ") + tryNamespace + " of tovalen-try";
    return false;
  }
  const char* lab = std::getenv("TOVALEN_LAB");
  if (!lab || !*lab) {
    why = "neither TOVALEN_LAB nor TOVALEN_TRY_NETNS is set: start this through tools/lab/tovalen-lab run "
          "or tools/lab/tovalen-try";
    return false;
  }
  const std::string pcNamespace = std::string("/run/netns/") + lab + "-pc";
  if (!sameFile("/proc/self/ns/net", pcNamespace)) {
    why = "this process is not in the network namespace " + pcNamespace;
    return false;
  }
  return true;
}

std::ostream& operator<<(std::ostream& out, Reach reach) {
  switch (reach) {
    case Reach::Answered:
      return out << "answered";
    case Reach::Unreachable:
      return out << "unreachable";
    case Reach::NoAnswer:
      break;
  }
  return out << "no answer";
}

Reach probeEcho(const std::string& address) {
  const int handle = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  // Without this, an unreachable host is never reported to a UDP socket.
  const int on = 1;
  setsockopt(handle, IPPROTO_IP, IP_RECVERR, &on, sizeof on);
  sockaddr_in echo{};
  echo.sin_family = AF_INET;
  echo.sin_port = htons(kEchoPort);
  inet_pton(AF_INET, address.c_str(), &echo.sin_addr);
  const std::string probe = "tovalen lab probe";
  const std::string expected = std::string(camerasim::kEchoMarker) + probe;
  Reach reach = Reach::NoAnswer;
  pollfd ready{handle, POLLIN, 0};
  if (connect(handle, reinterpret_cast<const sockaddr*>(&echo), sizeof echo) == 0 &&
      send(handle, probe.data(), probe.size(), 0) == static_cast<ssize_t>(probe.size()) &&
      poll(&ready, 1, kProbeTimeoutMs) == 1) {
    char answer[64];
    if (ready.revents & POLLERR)
      reach = Reach::Unreachable;
    else if (recv(handle, answer, sizeof answer, MSG_DONTWAIT) == static_cast<ssize_t>(expected.size()) &&
             std::memcmp(answer, expected.data(), expected.size()) == 0)
      reach = Reach::Answered;
  }
  close(handle);
  return reach;
}

void searchFromThePc(int count) {
  discovery::DatagramSocket socket;
  if (!socket.create() || !socket.setMulticastTtl(discovery::kMulticastTtl)) return;
  const discovery::Bytes search = discovery::encodeDatagram(discovery::CMD_SEARCH, {});
  for (int i = 0; i < count; ++i) socket.sendTo(discovery::DISCOVERY_GROUP, discovery::DISCOVERY_PORT, search);
}

bool runLabAction(const std::string& action) {
  const char* script = std::getenv("TOVALEN_LAB_SCRIPT");
  if (!script || !*script) {
    ADD_FAILURE() << "TOVALEN_LAB_SCRIPT is not set: it names tools/lab/tovalen-lab";
    return false;
  }
  return std::system(("'" + std::string(script) + "' " + action).c_str()) == 0;
}

std::uint64_t udpDatagramsRead() { return testsupport::udpCounter("InDatagrams"); }

std::uint64_t reversePathDrops() {
  return testsupport::kernelCounter("/proc/net/netstat", "TcpExt", "IPReversePathFilter");
}

bool setReversePathFilter(int mode) {
  // The filter in force on an interface is the stricter of its own and "all".
  bool set = true;
  for (const char* interface : {"all", "default", "eth0"}) {
    std::ofstream setting(std::string("/proc/sys/net/ipv4/conf/") + interface + "/rp_filter");
    set = static_cast<bool>(setting << mode << '\n') && set;
  }
  return set;
}

}  // namespace labtest
