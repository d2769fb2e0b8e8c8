// The one seam between the discovery code and the platform's sockets: an IPv4
// UDP socket that can join a multicast group, read datagrams in batches and be
// woken from a blocked read by another thread.
#pragma once

#include <array>
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

struct ReceivedDatagram {
  std::array<std::uint8_t, kReceiveBufferSize> bytes;
  std::size_t length = 0;
  bool truncated = false;  // longer than kReceiveBufferSize - 1 bytes
  Ipv4Bytes senderAddress{};
  std::uint16_t senderPort = 0;

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
  bool enableAddressReuse();
  bool bindAny(std::uint16_t port);
  bool setMulticastTtl(int ttl);
  // Joins on the interface the system's routing picks for the group; fails
  // where no route leads there.
  bool joinGroup(const Ipv4Bytes& group);
  // Joins and leaves on that interface, and sends through it, whatever the
  // routes say.
  bool joinGroup(const Ipv4Bytes& group, const Adapter& via);
  bool leaveGroup(const Ipv4Bytes& group, const Adapter& via);
  bool setMulticastInterface(const Adapter& via);
  // Asks for a receive buffer of `bytes` and returns what the system granted.
  int requestReceiveBuffer(int bytes);
  // How many datagrams the system has dropped for this socket so far because
  // its receive buffer was full; nothing where the system does not tell.
  std::optional<std::uint32_t> droppedDatagrams() const;
  std::uint16_t localPort() const;

  // Sends one datagram, to a group or a single host; the result is not
  // reported (sends are fire-and-forget).
  void sendTo(const Ipv4Bytes& address, std::uint16_t port, std::span<const std::uint8_t> datagram);

  // Blocks until at least one datagram arrives, interrupt() is called or the
  // timeout (if any) passes, then fills as many slots as are ready, each with
  // its sender.
  ReceiveResult receive(std::span<ReceivedDatagram> slots,
                        std::optional<std::chrono::milliseconds> timeout = std::nullopt);
  // Waits for `duration` unless interrupt() is called first; true if interrupted.
  bool pause(std::chrono::milliseconds duration);
  // Wakes receive() and pause(), now and for every later call. Thread-safe.
  void interrupt();
  void close();

  bool isOpen() const { return handle_ >= 0; }
  const std::string& lastError() const { return lastError_; }

 private:
  bool fail(const char* what);

  // The platform's handles as integers, -1 when there is none (descriptors
  // on Linux; a SOCKET and event HANDLEs on Windows): the socket, and the
  // two that let interrupt() wake a wait (see the platform's file).
  std::intptr_t handle_ = -1;
  std::array<std::intptr_t, 2> wake_{-1, -1};
  std::string lastError_;
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
