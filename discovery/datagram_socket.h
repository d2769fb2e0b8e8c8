// The one seam between the discovery code and the platform's sockets: an IPv4
// UDP socket that can join a multicast group, read datagrams in batches and be
// woken from a blocked read by another thread. Bound to a port, it can take a
// socket of its own for each adapter, on the same port (see joinThrough()).
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "discovery/adapters.h"
#include "discovery/protocol.h"

namespace discovery {

// Room for the longest datagram accepted (1023 bytes) plus a terminating NUL.
inline constexpr std::size_t kReceiveBufferSize = 1024;
// The most datagrams one receive() call fills.
inline constexpr std::size_t kReceiveBatch = 64;
// File descriptors the adapter sockets leave to the rest of the program (its
// window system's pipes, its files), however many adapters there are.
inline constexpr int kSpareDescriptors = 64;

struct ReceivedDatagram {
  std::array<std::uint8_t, kReceiveBufferSize> bytes;
  std::size_t length = 0;
  bool truncated = false;  // longer than kReceiveBufferSize - 1 bytes
  Ipv4Bytes senderAddress{};
  std::uint16_t senderPort = 0;
  unsigned arrivalInterface = 0;  // the index of the adapter it came through; 0 where the system does not say

  std::span<const std::uint8_t> payload() const { return {bytes.data(), length}; }
};

struct ReceiveResult {
  enum class Status { Received, TimedOut, Interrupted, Failed };
  Status status;
  std::size_t count = 0;  // datagrams filled in, when Received
};

class DatagramSocket {
 public:
  DatagramSocket();
  ~DatagramSocket();
  DatagramSocket(const DatagramSocket&) = delete;
  DatagramSocket& operator=(const DatagramSocket&) = delete;

  // Each set-up call returns false on failure and keeps the system's reason
  // in lastError().
  bool create();
  bool enableAddressReuse(bool enabled = true);
  bool bindAny(std::uint16_t port);
  // Its adapter sockets take it too.
  bool setMulticastTtl(int ttl);
  // Joins on the interface the system's routing picks for the group; fails
  // where no route leads there.
  bool joinGroup(const Ipv4Bytes& group);
  // Joins and leaves on that interface, and sends through it, whatever the
  // routes say.
  bool joinGroup(const Ipv4Bytes& group, const Adapter& via);
  bool leaveGroup(const Ipv4Bytes& group, const Adapter& via);
  bool setMulticastInterface(const Adapter& via);
  // Asks for a receive buffer of `bytes`, for its adapter sockets too, and
  // returns what the system granted this one.
  int requestReceiveBuffer(int bytes);
  // How many datagrams the system has dropped for this socket and its
  // adapter sockets so far because a receive buffer was full; nothing where
  // the system does not tell.
  std::optional<std::uint32_t> droppedDatagrams() const;
  // The same for the socket of that adapter alone.
  std::optional<std::uint32_t> droppedDatagramsThrough(const Adapter& via) const;
  std::uint16_t localPort() const;

  // Sends one datagram, to a group or a single host, waiting for room in the
  // send buffer; the result is not reported (sends are fire-and-forget).
  void sendTo(const Ipv4Bytes& address, std::uint16_t port, std::span<const std::uint8_t> datagram);

  // Joins the group on that adapter through a socket of the adapter's own,
  // bound to this socket's port, which also sends through that adapter
  // alone. So each socket holds one membership, and the system's limit on a
  // socket's memberships never applies, however many adapters there are; and
  // an adapter whose queue does not drain fills only its own socket's send
  // buffer. receive() reads them all, and hands on each datagram to the
  // group once: from the socket that joined where it arrived. Adapters are
  // told apart by index. Joins and leaves come from one thread at a time;
  // sends and receive() may run meanwhile. Where descriptors are limited
  // (Linux), no adapter socket is opened that would leave fewer than
  // kSpareDescriptors for the rest of the program: the join then fails, and
  // noSocketForLastJoin() says so.
  bool joinThrough(const Ipv4Bytes& group, const Adapter& via);
  // The last joinThrough() failed for want of a socket, not by the system's
  // refusal of the membership.
  bool noSocketForLastJoin() const { return noSocketForLastJoin_; }
  // Leaves the group on that adapter. Its socket stays open, idle, for the
  // next adapter joined: closing it could pull it from under a receive().
  void leaveThrough(const Ipv4Bytes& group, const Adapter& via);
  // Sends through the adapter's own socket without waiting. False when it has
  // none or the datagram could not leave at once; it is then dropped.
  bool sendThrough(const Adapter& via, const Ipv4Bytes& address, std::uint16_t port,
                   std::span<const std::uint8_t> datagram) const;

  // Blocks until at least one datagram arrives, interrupt() is called or the
  // timeout (if any) passes, then fills as many slots as are ready, each with
  // its sender, from this socket and its adapter sockets in turns, each
  // socket's datagrams in arrival order.
  ReceiveResult receive(std::span<ReceivedDatagram> slots,
                        std::optional<std::chrono::milliseconds> timeout = std::nullopt);
  // Waits for `duration` unless interrupt() is called first; true if interrupted.
  bool pause(std::chrono::milliseconds duration);
  // Wakes receive() and pause(), now and for every later call. Thread-safe.
  void interrupt();
  // Closes this socket and its adapter sockets; never while receive() runs.
  void close();

  bool isOpen() const { return handle_ >= 0; }
  const std::string& lastError() const { return lastError_; }

 private:
  struct AdapterSocket;
  static constexpr unsigned kIdle = 0;  // no adapter's index

  bool fail(const char* what);
  // Per platform, for a new adapter socket: creates it, so that it hears the
  // group only where it joined it itself, and so does its owner.
  bool createBeside(DatagramSocket& owner);
  // Per platform: receive() reads the adapter socket from now on.
  bool watch(const DatagramSocket& adapterSocket);
  // Per platform: one send that never waits.
  bool sendNow(const Ipv4Bytes& address, std::uint16_t port, std::span<const std::uint8_t> datagram) const;
  AdapterSocket* openAdapterSocket();
  bool bindBeside(DatagramSocket& newcomer);
  AdapterSocket* adapterSocketOf(unsigned adapterIndex) const;
  AdapterSocket* firstAdapterSocket() const { return adapterSockets_.load(std::memory_order_acquire); }
  void closeAdapterSockets();

  // The platform's handles as integers, -1 when there is none (descriptors
  // on Linux; a SOCKET and event HANDLEs on Windows): the socket, and the
  // two that let one wait cover it, its adapter sockets and interrupt() (see
  // the platform's file).
  std::intptr_t handle_ = -1;
  std::array<std::intptr_t, 2> wake_{-1, -1};
  std::string lastError_;
  // What the adapter sockets are set up with; 0 leaves the system's default.
  int multicastTtl_ = 0;
  int receiveBufferRequest_ = 0;
  bool noSocketForLastJoin_ = false;
  // The last opened first. Only added to until close(), so that receive()
  // and sends may walk it while another thread opens more.
  std::atomic<AdapterSocket*> adapterSockets_{nullptr};
};

struct DatagramSocket::AdapterSocket {
  DatagramSocket socket;
  std::atomic<unsigned> adapterIndex{kIdle};  // the adapter it joined through
  AdapterSocket* next = nullptr;              // opened before it
};

// Starts the platform's socket library for as long as it lives (nothing to do
// on POSIX systems). The application holds one for its whole run.
class SocketLibrary {
 public:
  SocketLibrary();
  ~SocketLibrary();
  SocketLibrary(const SocketLibrary&) = delete;
  SocketLibrary& operator=(const SocketLibrary&) = delete;
};

}  // namespace discovery
