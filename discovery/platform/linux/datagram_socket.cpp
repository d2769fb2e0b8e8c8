#include "discovery/datagram_socket.h"
#include "discovery/platform/socket_address.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <linux/sock_diag.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

namespace discovery {
namespace {

// wake_ holds a pipe: interrupt() writes to one end, the waits watch the other.
constexpr std::size_t kWakeRead = 0;
constexpr std::size_t kWakeWrite = 1;

void closeHandle(std::intptr_t& handle) {
  if (handle >= 0) ::close(handle);
  handle = -1;
}

// Index 0 leaves the choice of interface to the system's routing.
ip_mreqn membership(const Ipv4Bytes& group, unsigned interfaceIndex) {
  ip_mreqn request{};
  std::memcpy(&request.imr_multiaddr.s_addr, group.data(), 4);
  request.imr_address.s_addr = htonl(INADDR_ANY);
  request.imr_ifindex = static_cast<int>(interfaceIndex);
  return request;
}

int toPollTimeout(std::optional<std::chrono::milliseconds> timeout) {
  return timeout ? static_cast<int>(std::max<std::chrono::milliseconds::rep>(timeout->count(), 0)) : -1;
}

// Waits for the socket (when watched) or the wake pipe; says which became
// ready, or neither on timeout.
struct Readiness {
  bool socket = false;
  bool woken = false;
};

Readiness waitFor(int socket, int wake, int timeoutMs) {
  pollfd fds[2] = {{wake, POLLIN, 0}, {socket, POLLIN, 0}};
  const nfds_t count = socket >= 0 ? 2 : 1;
  int ready;
  do {
    ready = ::poll(fds, count, timeoutMs);
  } while (ready < 0 && errno == EINTR);
  if (ready <= 0) return {};
  return {count == 2 && fds[1].revents != 0, fds[0].revents != 0};
}

}  // namespace

DatagramSocket::DatagramSocket() = default;

DatagramSocket::~DatagramSocket() { close(); }

bool DatagramSocket::fail(const char* what) {
  lastError_ = std::string(what) + ": " + std::strerror(errno);
  return false;
}

bool DatagramSocket::create() {
  close();
  int pipeEnds[2];
  if (::pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0) return fail("pipe");
  wake_[kWakeRead] = pipeEnds[0];
  wake_[kWakeWrite] = pipeEnds[1];
  handle_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (handle_ < 0) {
    fail("socket");
    close();
    return false;
  }
  return true;
}

bool DatagramSocket::enableAddressReuse() {
  const int on = 1;
  return ::setsockopt(handle_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) == 0 || fail("SO_REUSEADDR");
}

bool DatagramSocket::bindAny(std::uint16_t port) {
  const sockaddr_in local = socketAddress({0, 0, 0, 0}, port);
  return ::bind(handle_, reinterpret_cast<const sockaddr*>(&local), sizeof local) == 0 || fail("bind");
}

bool DatagramSocket::setMulticastTtl(int ttl) {
  return ::setsockopt(handle_, IPPROTO_IP, IP_MULTICAST_TTL, &ttl, sizeof ttl) == 0 ||
         fail("IP_MULTICAST_TTL");
}

bool DatagramSocket::joinGroup(const Ipv4Bytes& group) { return joinGroup(group, Adapter{}); }

bool DatagramSocket::joinGroup(const Ipv4Bytes& group, const Adapter& via) {
  const ip_mreqn request = membership(group, via.index);
  return ::setsockopt(handle_, IPPROTO_IP, IP_ADD_MEMBERSHIP, &request, sizeof request) == 0 ||
         fail("IP_ADD_MEMBERSHIP");
}

bool DatagramSocket::leaveGroup(const Ipv4Bytes& group, const Adapter& via) {
  const ip_mreqn request = membership(group, via.index);
  return ::setsockopt(handle_, IPPROTO_IP, IP_DROP_MEMBERSHIP, &request, sizeof request) == 0 ||
         fail("IP_DROP_MEMBERSHIP");
}

bool DatagramSocket::setMulticastInterface(const Adapter& via) {
  ip_mreqn request{};
  request.imr_ifindex = static_cast<int>(via.index);
  return ::setsockopt(handle_, IPPROTO_IP, IP_MULTICAST_IF, &request, sizeof request) == 0 ||
         fail("IP_MULTICAST_IF");
}

int DatagramSocket::requestReceiveBuffer(int bytes) {
  ::setsockopt(handle_, SOL_SOCKET, SO_RCVBUF, &bytes, sizeof bytes);
  int granted = 0;
  socklen_t size = sizeof granted;
  ::getsockopt(handle_, SOL_SOCKET, SO_RCVBUF, &granted, &size);
  return granted;
}

std::optional<std::uint32_t> DatagramSocket::droppedDatagrams() const {
  // The kernel's own running count, readable at any moment: exact even for
  // drops that no later datagram would report.
  std::uint32_t memory[SK_MEMINFO_VARS] = {};
  socklen_t size = sizeof memory;
  if (handle_ < 0 || ::getsockopt(handle_, SOL_SOCKET, SO_MEMINFO, memory, &size) != 0 ||
      size <= SK_MEMINFO_DROPS * sizeof memory[0])
    return std::nullopt;
  return memory[SK_MEMINFO_DROPS];
}

std::uint16_t DatagramSocket::localPort() const {
  sockaddr_in local{};
  socklen_t size = sizeof local;
  if (::getsockname(handle_, reinterpret_cast<sockaddr*>(&local), &size) != 0) return 0;
  return ntohs(local.sin_port);
}

void DatagramSocket::sendTo(const Ipv4Bytes& address, std::uint16_t port,
                            std::span<const std::uint8_t> datagram) {
  if (handle_ < 0) return;
  const sockaddr_in to = socketAddress(address, port);
  ::sendto(handle_, datagram.data(), datagram.size(), 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
}

ReceiveResult DatagramSocket::receive(std::span<ReceivedDatagram> slots,
                                      std::optional<std::chrono::milliseconds> timeout) {
  using Status = ReceiveResult::Status;
  const std::size_t batch = std::min(slots.size(), kReceiveBatch);
  if (handle_ < 0 || batch == 0) return {Status::Failed};
  mmsghdr messages[kReceiveBatch];
  iovec vectors[kReceiveBatch];
  sockaddr_in senders[kReceiveBatch];
  for (;;) {
    const Readiness ready = waitFor(handle_, wake_[kWakeRead], toPollTimeout(timeout));
    if (ready.woken) return {Status::Interrupted};
    if (!ready.socket) {
      if (timeout) return {Status::TimedOut};
      continue;
    }
    for (std::size_t i = 0; i < batch; ++i) {
      // One byte is kept back so that a NUL can always follow the data.
      vectors[i] = {slots[i].bytes.data(), kReceiveBufferSize - 1};
      messages[i] = {};
      messages[i].msg_hdr.msg_iov = &vectors[i];
      messages[i].msg_hdr.msg_iovlen = 1;
      messages[i].msg_hdr.msg_name = &senders[i];
      messages[i].msg_hdr.msg_namelen = sizeof senders[i];
    }
    const int count = ::recvmmsg(handle_, messages, static_cast<unsigned>(batch), MSG_DONTWAIT, nullptr);
    if (count < 0) {
      if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) continue;
      // lastError_ belongs to the thread that sets the socket up, not to the reader.
      return {Status::Failed};
    }
    for (int i = 0; i < count; ++i) {
      slots[i].length = messages[i].msg_len;
      slots[i].truncated = (messages[i].msg_hdr.msg_flags & MSG_TRUNC) != 0;
      slots[i].bytes[slots[i].length] = 0;
      std::memcpy(slots[i].senderAddress.data(), &senders[i].sin_addr.s_addr, 4);
      slots[i].senderPort = ntohs(senders[i].sin_port);
    }
    return {Status::Received, static_cast<std::size_t>(count)};
  }
}

bool DatagramSocket::pause(std::chrono::milliseconds duration) {
  return waitFor(-1, wake_[kWakeRead], static_cast<int>(duration.count())).woken;
}

void DatagramSocket::interrupt() {
  if (wake_[kWakeWrite] < 0) return;
  const char wake = 1;
  // The pipe is never drained, so one byte keeps every later wait woken.
  [[maybe_unused]] const auto written = ::write(wake_[kWakeWrite], &wake, 1);
}

void DatagramSocket::close() {
  closeHandle(handle_);
  for (std::intptr_t& end : wake_) closeHandle(end);
}

SocketLibrary::SocketLibrary() = default;
SocketLibrary::~SocketLibrary() = default;

}  // namespace discovery
