#include "discovery/datagram_socket.h"
#include "discovery/platform/read_in_turns.h"
#include "discovery/platform/socket_address.h"

#include <arpa/inet.h>
#include <linux/sock_diag.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace discovery {
namespace {

// wake_ holds an eventfd that interrupt() makes readable for good, and an
// epoll set of it, the socket and the adapter sockets, which a wait watches:
// an adapter socket added meanwhile is watched at once.
constexpr std::size_t kWakeEvent = 0;
constexpr std::size_t kReadySet = 1;

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

bool watchIn(std::intptr_t readySet, std::intptr_t descriptor) {
  epoll_event watched{};
  watched.events = EPOLLIN;
  watched.data.fd = static_cast<int>(descriptor);
  return ::epoll_ctl(static_cast<int>(readySet), EPOLL_CTL_ADD, watched.data.fd, &watched) == 0;
}

// By default a socket bound to a port hears the group wherever any socket
// joined it; where several share the port, each datagram would be handed on
// once by each of them.
bool hearOwnMembershipsOnly(std::intptr_t socket) {
  const int off = 0;
  return ::setsockopt(static_cast<int>(socket), IPPROTO_IP, IP_MULTICAST_ALL, &off, sizeof off) == 0;
}

// Where each datagram arrived, for the network check's count of answers per
// adapter.
bool tellArrival(std::intptr_t socket) {
  const int on = 1;
  return ::setsockopt(static_cast<int>(socket), IPPROTO_IP, IP_PKTINFO, &on, sizeof on) == 0;
}

unsigned arrivalOf(msghdr& message) {
  for (cmsghdr* header = CMSG_FIRSTHDR(&message); header; header = CMSG_NXTHDR(&message, header)) {
    if (header->cmsg_level != IPPROTO_IP || header->cmsg_type != IP_PKTINFO) continue;
    in_pktinfo arrival;
    std::memcpy(&arrival, CMSG_DATA(header), sizeof arrival);
    return static_cast<unsigned>(arrival.ipi_ifindex);
  }
  return 0;
}

// Descriptors are handed out lowest first, so below this one none is free:
// it leaves enough for the rest of the program when kSpareDescriptors more
// fit under the limit.
bool leavesSpareDescriptors(std::intptr_t descriptor) {
  rlimit limit{};
  if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return true;
  return static_cast<rlim_t>(descriptor) + kSpareDescriptors < limit.rlim_cur;
}

bool sendDatagram(std::intptr_t socket, const Ipv4Bytes& address, std::uint16_t port,
                  std::span<const std::uint8_t> datagram, int flags) {
  if (socket < 0) return false;
  const sockaddr_in to = socketAddress(address, port);
  return ::sendto(static_cast<int>(socket), datagram.data(), datagram.size(), flags,
                  reinterpret_cast<const sockaddr*>(&to), sizeof to) >= 0;
}

std::optional<std::uint32_t> dropsOf(std::intptr_t socket) {
  // The kernel's own running count, readable at any moment: exact even for
  // drops that no later datagram would report.
  std::uint32_t memory[SK_MEMINFO_VARS] = {};
  socklen_t size = sizeof memory;
  if (socket < 0 || ::getsockopt(static_cast<int>(socket), SOL_SOCKET, SO_MEMINFO, memory, &size) != 0 ||
      size <= SK_MEMINFO_DROPS * sizeof memory[0])
    return std::nullopt;
  return memory[SK_MEMINFO_DROPS];
}

// One turn at a socket: the datagrams ready there, as many as the slots hold.
std::optional<Turn> readTurn(int socket, std::span<ReceivedDatagram> slots) {
  mmsghdr messages[kReceiveBatch];
  iovec vectors[kReceiveBatch];
  sockaddr_in senders[kReceiveBatch];
  alignas(cmsghdr) char controls[kReceiveBatch][CMSG_SPACE(sizeof(in_pktinfo))];
  const std::size_t wanted = std::min(slots.size(), kReceiveBatch);
  for (std::size_t i = 0; i < wanted; ++i) {
    // One byte is kept back so that a NUL can always follow the data.
    vectors[i] = {slots[i].bytes.data(), kReceiveBufferSize - 1};
    messages[i] = {};
    messages[i].msg_hdr.msg_iov = &vectors[i];
    messages[i].msg_hdr.msg_iovlen = 1;
    messages[i].msg_hdr.msg_name = &senders[i];
    messages[i].msg_hdr.msg_namelen = sizeof senders[i];
    messages[i].msg_hdr.msg_control = controls[i];
    messages[i].msg_hdr.msg_controllen = sizeof controls[i];
  }
  const int count = ::recvmmsg(socket, messages, static_cast<unsigned>(wanted), MSG_DONTWAIT, nullptr);
  if (count < 0) {
    if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) return Turn{0, true};
    return std::nullopt;
  }
  for (int i = 0; i < count; ++i) {
    slots[i].length = messages[i].msg_len;
    slots[i].truncated = (messages[i].msg_hdr.msg_flags & MSG_TRUNC) != 0;
    slots[i].bytes[slots[i].length] = 0;
    std::memcpy(slots[i].senderAddress.data(), &senders[i].sin_addr.s_addr, 4);
    slots[i].senderPort = ntohs(senders[i].sin_port);
    slots[i].arrivalInterface = arrivalOf(messages[i].msg_hdr);
  }
  return Turn{static_cast<std::size_t>(count), static_cast<std::size_t>(count) < wanted};
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
  const auto failed = [this](const char* what) {
    fail(what);
    close();
    return false;
  };
  wake_[kWakeEvent] = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wake_[kWakeEvent] < 0) return failed("eventfd");
  wake_[kReadySet] = ::epoll_create1(EPOLL_CLOEXEC);
  if (wake_[kReadySet] < 0) return failed("epoll_create1");
  handle_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (handle_ < 0) return failed("socket");
  if (!tellArrival(handle_)) return failed("IP_PKTINFO");
  if (!watchIn(wake_[kReadySet], wake_[kWakeEvent]) || !watchIn(wake_[kReadySet], handle_)) return failed("epoll_ctl");
  return true;
}

bool DatagramSocket::createBeside(DatagramSocket& owner) {
  handle_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (handle_ < 0) return fail("socket");
  if (!leavesSpareDescriptors(handle_)) {
    closeHandle(handle_);
    lastError_ = "socket: fewer than " + std::to_string(kSpareDescriptors) + " file descriptors would be left";
    return false;
  }
  if (!tellArrival(handle_)) return fail("IP_PKTINFO");
  return (hearOwnMembershipsOnly(handle_) && hearOwnMembershipsOnly(owner.handle_)) || fail("IP_MULTICAST_ALL");
}

bool DatagramSocket::watch(const DatagramSocket& adapterSocket) {
  return watchIn(wake_[kReadySet], adapterSocket.handle_) || fail("epoll_ctl");
}

bool DatagramSocket::enableAddressReuse(bool enabled) {
  const int value = enabled;
  return ::setsockopt(handle_, SOL_SOCKET, SO_REUSEADDR, &value, sizeof value) == 0 || fail("SO_REUSEADDR");
}

bool DatagramSocket::bindAny(std::uint16_t port) {
  const sockaddr_in local = socketAddress({0, 0, 0, 0}, port);
  return ::bind(handle_, reinterpret_cast<const sockaddr*>(&local), sizeof local) == 0 || fail("bind");
}

bool DatagramSocket::setMulticastTtl(int ttl) {
  multicastTtl_ = ttl;
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
  receiveBufferRequest_ = bytes;
  ::setsockopt(handle_, SOL_SOCKET, SO_RCVBUF, &bytes, sizeof bytes);
  int granted = 0;
  socklen_t size = sizeof granted;
  ::getsockopt(handle_, SOL_SOCKET, SO_RCVBUF, &granted, &size);
  return granted;
}

std::optional<std::uint32_t> DatagramSocket::droppedDatagrams() const {
  std::optional<std::uint32_t> total = dropsOf(handle_);
  for (const AdapterSocket* adapterSocket = firstAdapterSocket(); adapterSocket && total;
       adapterSocket = adapterSocket->next) {
    const auto drops = dropsOf(adapterSocket->socket.handle_);
    if (!drops) return std::nullopt;
    *total += *drops;
  }
  return total;
}

std::optional<std::uint32_t> DatagramSocket::droppedDatagramsThrough(const Adapter& via) const {
  const AdapterSocket* adapterSocket = adapterSocketOf(via.index);
  if (!adapterSocket) return std::nullopt;
  return dropsOf(adapterSocket->socket.handle_);
}

std::uint16_t DatagramSocket::localPort() const {
  sockaddr_in local{};
  socklen_t size = sizeof local;
  if (::getsockname(handle_, reinterpret_cast<sockaddr*>(&local), &size) != 0) return 0;
  return ntohs(local.sin_port);
}

void DatagramSocket::sendTo(const Ipv4Bytes& address, std::uint16_t port,
                            std::span<const std::uint8_t> datagram) {
  sendDatagram(handle_, address, port, datagram, 0);
}

bool DatagramSocket::sendNow(const Ipv4Bytes& address, std::uint16_t port,
                             std::span<const std::uint8_t> datagram) const {
  return sendDatagram(handle_, address, port, datagram, MSG_DONTWAIT);
}

ReceiveResult DatagramSocket::receive(std::span<ReceivedDatagram> slots,
                                      std::optional<std::chrono::milliseconds> timeout) {
  using Status = ReceiveResult::Status;
  slots = slots.first(std::min(slots.size(), kReceiveBatch));
  if (handle_ < 0 || slots.empty()) return {Status::Failed};
  // No more sockets than slots can take a turn; others are ready again next time.
  epoll_event events[kReceiveBatch];
  int ready[kReceiveBatch];
  for (;;) {
    int count;
    do {
      count = ::epoll_wait(static_cast<int>(wake_[kReadySet]), events, static_cast<int>(slots.size()),
                           toPollTimeout(timeout));
    } while (count < 0 && errno == EINTR);
    // lastError_ belongs to the thread that sets the socket up, not to the reader.
    if (count < 0) return {Status::Failed};
    if (count == 0) {
      if (timeout) return {Status::TimedOut};
      continue;
    }
    std::size_t sockets = 0;
    for (int i = 0; i < count; ++i) {
      if (events[i].data.fd == wake_[kWakeEvent]) return {Status::Interrupted};
      ready[sockets++] = events[i].data.fd;
    }
    if (const auto result = readInTurns(std::span(ready, sockets), slots, readTurn)) return *result;
  }
}

bool DatagramSocket::pause(std::chrono::milliseconds duration) {
  pollfd wake{static_cast<int>(wake_[kWakeEvent]), POLLIN, 0};
  int ready;
  do {
    ready = ::poll(&wake, 1, static_cast<int>(duration.count()));
  } while (ready < 0 && errno == EINTR);
  return ready > 0;
}

void DatagramSocket::interrupt() {
  if (wake_[kWakeEvent] < 0) return;
  // Never read back, so every later wait is woken too.
  const std::uint64_t wake = 1;
  [[maybe_unused]] const auto written = ::write(static_cast<int>(wake_[kWakeEvent]), &wake, sizeof wake);
}

void DatagramSocket::close() {
  closeAdapterSockets();
  closeHandle(handle_);
  for (std::intptr_t& handle : wake_) closeHandle(handle);
}

SocketLibrary::SocketLibrary() = default;
SocketLibrary::~SocketLibrary() = default;

}  // namespace discovery
