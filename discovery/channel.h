// The multicast channel: one UDP socket bound to the discovery port and joined
// to the discovery group, used to send requests to the group and to hear every
// answer sent to it. A receive thread decodes the answers and hands them to a
// receiver, in arrival order.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "discovery/datagram_socket.h"
#include "discovery/network_interfaces.h"
#include "discovery/protocol.h"

namespace discovery {

inline constexpr Ipv4Bytes DISCOVERY_GROUP{224, 14, 54, 74};
inline constexpr std::uint16_t DISCOVERY_PORT = 5414;
inline constexpr int kMulticastTtl = 8;
inline constexpr std::chrono::milliseconds kIdlePause{50};
// Payload room after the header in the channel's send buffer.
inline constexpr std::size_t kMaxPayload = 2032;
// Large sites answer a search with thousands of replies at once; the kernel
// holds them until the receive thread drains them.
inline constexpr int kWantedReceiveBuffer = 8 * 1024 * 1024;

// Called on the channel's receive thread. Implementations must not wait for
// another thread that could itself be waiting for the channel to close.
class ChannelReceiver {
 public:
  virtual ~ChannelReceiver() = default;
  virtual void deviceFound(DeviceInfoRecord record) = 0;
  virtual void ipChanged(SetIpRecord record) = 0;
  // Follows the calls for each batch of datagrams read at once, so that a
  // receiver can hand them on together.
  virtual void endOfBatch() {}
};

// What a channel may be told beyond its fixed constants; the program itself
// always uses the defaults.
struct ChannelSettings {
  int receiveBufferBytes = kWantedReceiveBuffer;
  // Use the system's default multicast interface alone, as if the machine had
  // one network: shows what searching every interface adds.
  bool defaultInterfaceOnly = false;
};

class MulticastChannel {
 public:
  explicit MulticastChannel(ChannelReceiver& receiver, const ChannelSettings& settings = {});
  ~MulticastChannel();
  MulticastChannel(const MulticastChannel&) = delete;
  MulticastChannel& operator=(const MulticastChannel&) = delete;

  // 1 on success, 0 on failure (the reason is kept in openError()). Opening
  // an open channel returns 0 and changes nothing.
  int open();
  // Sends the header and payload to the group, once through each multicast
  // interface when the machine has several (the set is read again at every
  // send), else once through the default one. Does nothing when the channel
  // is not open or the payload does not fit the send buffer.
  void send(std::uint32_t command, std::span<const std::uint8_t> payload);
  void sendSearch();
  // Stops the receive thread and closes the socket. When it returns, the
  // receiver is never called again.
  void close();

  bool isOpen() const { return running_; }
  const std::string& openError() const { return openError_; }
  int receiveBufferBytes() const { return receiveBufferBytes_; }

 private:
  int failOpen();
  // Joins the group on interfaces that appeared and leaves it on those that
  // went; returns the interfaces a request goes out through (empty: the
  // default one).
  std::vector<NetworkInterface> refreshInterfaces();
  void receiveLoop();
  void dispatch(const ReceivedDatagram& datagram);

  ChannelReceiver& receiver_;
  ChannelSettings settings_;
  DatagramSocket socket_;
  std::atomic<bool> running_{false};
  std::thread receiveThread_;
  std::string openError_;
  int receiveBufferBytes_ = 0;
  // Interfaces joined by index on top of the default membership taken at open.
  std::vector<unsigned> joinedInterfaces_;
  bool outgoingInterfaceChosen_ = false;
};

}  // namespace discovery
