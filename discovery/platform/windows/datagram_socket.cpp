// Windows: Winsock 2. The socket and its adapter sockets report readiness
// through one event (WSAEventSelect), so that one WaitForMultipleObjects waits
// for datagrams on any of them and for interrupt() alike.
#include "discovery/datagram_socket.h"
#include "discovery/platform/read_in_turns.h"
#include "discovery/platform/socket_address.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <mswsock.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace discovery {
namespace {

// wake_ holds two events: the wake event that interrupt() sets and never
// resets, and the socket's readiness event.
constexpr std::size_t kWakeEvent = 0;
constexpr std::size_t kReadyEvent = 1;

SOCKET socketOf(std::intptr_t handle) { return static_cast<SOCKET>(handle); }
HANDLE eventOf(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

in_addr interfaceAddress(const Adapter& via) {
  in_addr address{};
  std::memcpy(&address.s_addr, via.address().data(), 4);
  return address;
}

// The system's text for a Winsock or Windows error, without its line end.
std::string systemMessage(DWORD code) {
  char* text = nullptr;
  const DWORD length =
      FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string message(text ? text : "", length);
  LocalFree(text);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' '))
    message.pop_back();
  return message.empty() ? "Winsock error " + std::to_string(code) : message;
}

template <typename Option>
bool setOption(std::intptr_t handle, int level, int name, const Option& value) {
  return ::setsockopt(socketOf(handle), level, name, reinterpret_cast<const char*>(&value), sizeof value) == 0;
}

// Membership by the adapter's address: Windows also takes an interface index
// in the form 0.0.0.index, but Wine hands these options to Linux, which knows
// only addresses there. An adapter without an address lets the system choose.
ip_mreq membership(const Ipv4Bytes& group, const Adapter& via) {
  ip_mreq request{};
  std::memcpy(&request.imr_multiaddr.s_addr, group.data(), 4);
  request.imr_interface = interfaceAddress(via);
  return request;
}

DWORD toWaitTimeout(std::optional<std::chrono::milliseconds> timeout) {
  if (!timeout) return INFINITE;
  return static_cast<DWORD>(std::clamp<std::chrono::milliseconds::rep>(timeout->count(), 0, INFINITE - 1));
}

bool sendOnce(std::intptr_t handle, const sockaddr_in& to, std::span<const std::uint8_t> datagram) {
  return ::sendto(socketOf(handle), reinterpret_cast<const char*>(datagram.data()),
                  static_cast<int>(datagram.size()), 0, reinterpret_cast<const sockaddr*>(&to),
                  sizeof to) != SOCKET_ERROR;
}

// A socket receive() reads, and the adapter whose datagrams to a group it
// hands on: 0 for none, nothing for those from wherever they arrived.
struct Source {
  SOCKET socket;
  std::optional<unsigned> groupFrom;
};

// Several sockets bound to one port may each be given the group's datagrams
// from every adapter where any of them joined it (Wine's are, as Linux's are
// by default), so each hands on only those that arrived where it joined.
// Unicast is every socket's.
std::optional<IN_PKTINFO> arrivalOf(WSAMSG& message) {
  for (WSACMSGHDR* header = WSA_CMSG_FIRSTHDR(&message); header; header = WSA_CMSG_NXTHDR(&message, header)) {
    if (header->cmsg_level != IPPROTO_IP || header->cmsg_type != IP_PKTINFO) continue;
    IN_PKTINFO arrival;
    std::memcpy(&arrival, WSA_CMSG_DATA(header), sizeof arrival);
    return arrival;
  }
  return std::nullopt;
}

bool handsOn(const std::optional<IN_PKTINFO>& arrival, std::optional<unsigned> groupFrom) {
  if (!groupFrom || !arrival) return true;  // !arrival: the system did not say where it arrived
  return !IN_MULTICAST(ntohl(arrival->ipi_addr.s_addr)) || arrival->ipi_ifindex == *groupFrom;
}

LPFN_WSARECVMSG messageReader(SOCKET socket) {
  GUID id = WSAID_WSARECVMSG;
  LPFN_WSARECVMSG reader = nullptr;
  DWORD size = 0;
  if (WSAIoctl(socket, SIO_GET_EXTENSION_FUNCTION_POINTER, &id, sizeof id, &reader, sizeof reader, &size, nullptr,
               nullptr) != 0)
    return nullptr;
  return reader;
}

enum class Read { Datagram, Elsewhere, Nothing, Failed };

// One non-blocking read into the slot, with its sender; it keeps one byte
// back so that a NUL can always follow the data.
Read readOne(const Source& source, ReceivedDatagram& slot) {
  static const LPFN_WSARECVMSG receiveMessage = messageReader(source.socket);
  if (!receiveMessage) return Read::Failed;
  sockaddr_in sender{};
  WSABUF data{static_cast<ULONG>(kReceiveBufferSize - 1), reinterpret_cast<char*>(slot.bytes.data())};
  char control[WSA_CMSG_SPACE(sizeof(IN_PKTINFO))];
  WSAMSG message{};
  message.name = reinterpret_cast<sockaddr*>(&sender);
  message.namelen = sizeof sender;
  message.lpBuffers = &data;
  message.dwBufferCount = 1;
  message.Control = {sizeof control, control};
  DWORD length = 0;
  slot.truncated = false;
  if (receiveMessage(source.socket, &message, &length, nullptr, nullptr) == SOCKET_ERROR) {
    switch (WSAGetLastError()) {
      case WSAEMSGSIZE:  // the buffer holds the first bytes; the rest is gone
        length = kReceiveBufferSize - 1;
        slot.truncated = true;
        break;
      case WSAEWOULDBLOCK:
        return Read::Nothing;
      case WSAECONNRESET:  // an ICMP "port unreachable" for an earlier send, not a datagram
        return Read::Nothing;
      default:
        return Read::Failed;
    }
  }
  const auto arrival = arrivalOf(message);
  if (!handsOn(arrival, source.groupFrom)) return Read::Elsewhere;
  slot.arrivalInterface = arrival ? static_cast<unsigned>(arrival->ipi_ifindex) : 0;
  std::memcpy(slot.senderAddress.data(), &sender.sin_addr.s_addr, 4);
  slot.senderPort = ntohs(sender.sin_port);
  slot.length = length;
  slot.bytes[slot.length] = 0;
  return Read::Datagram;
}

// One turn at a socket: as many reads as there are slots, at most.
std::optional<Turn> readTurn(const Source& source, std::span<ReceivedDatagram> slots) {
  Turn turn;
  for (std::size_t reads = 0; reads < slots.size(); ++reads) {
    switch (readOne(source, slots[turn.filled])) {
      case Read::Datagram:
        ++turn.filled;
        break;
      case Read::Elsewhere:
        break;
      case Read::Nothing:
        turn.drained = true;
        return turn;
      case Read::Failed:
        if (turn.filled == 0) return std::nullopt;
        turn.drained = true;
        return turn;
    }
  }
  return turn;
}

}  // namespace

DatagramSocket::DatagramSocket() = default;

DatagramSocket::~DatagramSocket() { close(); }

bool DatagramSocket::fail(const char* what) {
  lastError_ = std::string(what) + ": " + systemMessage(static_cast<DWORD>(WSAGetLastError()));
  return false;
}

bool DatagramSocket::create() {
  close();
  const auto failed = [this](const char* what) {
    fail(what);
    close();
    return false;
  };
  const SOCKET socket = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  if (socket == INVALID_SOCKET) return failed("socket");
  handle_ = static_cast<std::intptr_t>(socket);
  // Both manual-reset and unset.
  for (std::intptr_t& event : wake_) {
    const WSAEVENT created = WSACreateEvent();
    if (created == WSA_INVALID_EVENT) return failed("WSACreateEvent");
    event = reinterpret_cast<std::intptr_t>(created);
  }
  // This also makes the socket non-blocking.
  if (WSAEventSelect(socket, eventOf(wake_[kReadyEvent]), FD_READ) != 0) return failed("WSAEventSelect");
  return true;
}

bool DatagramSocket::createBeside(DatagramSocket& owner) {
  const SOCKET socket = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  if (socket == INVALID_SOCKET) return fail("socket");
  handle_ = static_cast<std::intptr_t>(socket);
  // Where each datagram arrived, for handsOn().
  const DWORD on = 1;
  return (setOption(handle_, IPPROTO_IP, IP_PKTINFO, on) && setOption(owner.handle_, IPPROTO_IP, IP_PKTINFO, on)) ||
         fail("IP_PKTINFO");
}

bool DatagramSocket::watch(const DatagramSocket& adapterSocket) {
  // This socket's own event; this also makes the adapter socket non-blocking.
  return WSAEventSelect(socketOf(adapterSocket.handle_), eventOf(wake_[kReadyEvent]), FD_READ) == 0 ||
         fail("WSAEventSelect");
}

bool DatagramSocket::enableAddressReuse(bool enabled) {
  const BOOL value = enabled;
  return setOption(handle_, SOL_SOCKET, SO_REUSEADDR, value) || fail("SO_REUSEADDR");
}

bool DatagramSocket::bindAny(std::uint16_t port) {
  const sockaddr_in local = socketAddress({0, 0, 0, 0}, port);
  return ::bind(socketOf(handle_), reinterpret_cast<const sockaddr*>(&local), sizeof local) == 0 || fail("bind");
}

bool DatagramSocket::setMulticastTtl(int ttl) {
  multicastTtl_ = ttl;
  const DWORD value = static_cast<DWORD>(ttl);
  return setOption(handle_, IPPROTO_IP, IP_MULTICAST_TTL, value) || fail("IP_MULTICAST_TTL");
}

bool DatagramSocket::joinGroup(const Ipv4Bytes& group) { return joinGroup(group, Adapter{}); }

bool DatagramSocket::joinGroup(const Ipv4Bytes& group, const Adapter& via) {
  return setOption(handle_, IPPROTO_IP, IP_ADD_MEMBERSHIP, membership(group, via)) || fail("IP_ADD_MEMBERSHIP");
}

bool DatagramSocket::leaveGroup(const Ipv4Bytes& group, const Adapter& via) {
  return setOption(handle_, IPPROTO_IP, IP_DROP_MEMBERSHIP, membership(group, via)) || fail("IP_DROP_MEMBERSHIP");
}

bool DatagramSocket::setMulticastInterface(const Adapter& via) {
  return setOption(handle_, IPPROTO_IP, IP_MULTICAST_IF, interfaceAddress(via)) || fail("IP_MULTICAST_IF");
}

int DatagramSocket::requestReceiveBuffer(int bytes) {
  receiveBufferRequest_ = bytes;
  setOption(handle_, SOL_SOCKET, SO_RCVBUF, bytes);
  int granted = 0;
  int size = sizeof granted;
  ::getsockopt(socketOf(handle_), SOL_SOCKET, SO_RCVBUF, reinterpret_cast<char*>(&granted), &size);
  return granted;
}

std::optional<std::uint32_t> DatagramSocket::droppedDatagrams() const {
  // Windows keeps no per-socket count of datagrams dropped for a full buffer.
  return std::nullopt;
}

std::optional<std::uint32_t> DatagramSocket::droppedDatagramsThrough(const Adapter&) const { return std::nullopt; }

std::uint16_t DatagramSocket::localPort() const {
  sockaddr_in local{};
  int size = sizeof local;
  if (::getsockname(socketOf(handle_), reinterpret_cast<sockaddr*>(&local), &size) != 0) return 0;
  return ntohs(local.sin_port);
}

void DatagramSocket::sendTo(const Ipv4Bytes& address, std::uint16_t port,
                            std::span<const std::uint8_t> datagram) {
  if (handle_ < 0) return;
  const sockaddr_in to = socketAddress(address, port);
  // The socket is non-blocking (see create()); a full send buffer is waited
  // out, as a blocking send would.
  while (!sendOnce(handle_, to, datagram) && WSAGetLastError() == WSAEWOULDBLOCK) {
    WSAPOLLFD writable{socketOf(handle_), POLLWRNORM, 0};
    if (WSAPoll(&writable, 1, -1) == SOCKET_ERROR) return;
  }
}

bool DatagramSocket::sendNow(const Ipv4Bytes& address, std::uint16_t port,
                             std::span<const std::uint8_t> datagram) const {
  // Non-blocking (see watch()): a full send buffer fails the send at once.
  return handle_ >= 0 && sendOnce(handle_, socketAddress(address, port), datagram);
}

ReceiveResult DatagramSocket::receive(std::span<ReceivedDatagram> slots,
                                      std::optional<std::chrono::milliseconds> timeout) {
  using Status = ReceiveResult::Status;
  const std::size_t batch = std::min(slots.size(), kReceiveBatch);
  if (handle_ < 0 || batch == 0) return {Status::Failed};
  // When both are set the wake event, first, is the one reported.
  const HANDLE events[2] = {eventOf(wake_[kWakeEvent]), eventOf(wake_[kReadyEvent])};
  for (;;) {
    const DWORD signalled = WaitForMultipleObjects(2, events, FALSE, toWaitTimeout(timeout));
    if (signalled == WAIT_OBJECT_0) return {Status::Interrupted};
    if (signalled == WAIT_TIMEOUT) return {Status::TimedOut};
    if (signalled != WAIT_OBJECT_0 + 1) return {Status::Failed};
    // Reset before reading: a datagram that arrives from here on sets it again.
    WSAResetEvent(events[1]);
    // Once it has adapter sockets, they hear the group and this one only unicast.
    const AdapterSocket* adapterSocket = firstAdapterSocket();
    std::vector<Source> sources{{socketOf(handle_), adapterSocket ? std::optional(kIdle) : std::nullopt}};
    for (; adapterSocket; adapterSocket = adapterSocket->next)
      sources.push_back({socketOf(adapterSocket->socket.handle_), adapterSocket->adapterIndex.load()});
    if (const auto result = readInTurns(std::span(sources), slots.first(batch), readTurn)) return *result;
  }
}

bool DatagramSocket::pause(std::chrono::milliseconds duration) {
  if (wake_[kWakeEvent] < 0) {
    Sleep(toWaitTimeout(duration));
    return false;
  }
  return WaitForSingleObject(eventOf(wake_[kWakeEvent]), toWaitTimeout(duration)) == WAIT_OBJECT_0;
}

void DatagramSocket::interrupt() {
  if (wake_[kWakeEvent] >= 0) WSASetEvent(eventOf(wake_[kWakeEvent]));
}

void DatagramSocket::close() {
  closeAdapterSockets();  // before the event they report through
  if (handle_ >= 0) ::closesocket(socketOf(handle_));
  handle_ = -1;
  for (std::intptr_t& event : wake_) {
    if (event >= 0) WSACloseEvent(eventOf(event));
    event = -1;
  }
}

SocketLibrary::SocketLibrary() {
  WSADATA details;
  WSAStartup(MAKEWORD(2, 2), &details);
}

// Harmless when the start failed: the call then fails too.
SocketLibrary::~SocketLibrary() { WSACleanup(); }

}  // namespace discovery
