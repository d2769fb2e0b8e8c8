// The multicast channel: a UDP socket bound to the discovery port, with one
// of its own on that port for each adapter, joined to the discovery group
// there (see DatagramSocket::joinThrough()), used to send requests to the
// group and to hear every answer sent to it. A receive thread decodes the
// answers and hands them to a receiver, in the order they arrived through
// each adapter.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "discovery/adapter_traffic.h"
#include "discovery/datagram_socket.h"
#include "discovery/host_network.h"
#include "discovery/protocol.h"
#include "discovery/search_rounds.h"

namespace discovery {

inline constexpr Ipv4Bytes DISCOVERY_GROUP{224, 14, 54, 74};
inline constexpr std::uint16_t DISCOVERY_PORT = 5414;
inline constexpr int kMulticastTtl = 8;
// After a failed read the receive thread waits this long before the next, so
// that a socket that keeps failing does not keep a core busy.
inline constexpr std::chrono::milliseconds kIdlePause{50};
// A burst of answers is over for now when no answer has come for an eighth
// of the time it has lasted, and at least kShortestQuiet: a long burst may
// pause for a moment, and a short one should show at once.
inline constexpr std::chrono::milliseconds kShortestQuiet{2};
inline constexpr int kQuietShareOfBurst = 8;
// Answers that keep coming without a pause are handed on all the same once
// the first of them has waited this long.
inline constexpr std::chrono::milliseconds kLongestHold{1000};
// Requests other than searches sent within this time of the last reading of
// the adapter list go out through the adapters it listed.
inline constexpr std::chrono::milliseconds kAdapterListReuse{1000};
// The longest payload send() accepts.
inline constexpr std::size_t kMaxPayload = 2032;

// When the receive thread hands on the answers it has heard: once their burst
// is over for now, or kLongestHold after the first of them not handed on yet,
// whatever arrives meanwhile. Only answers are counted, so that no other
// traffic, however dense, holds back those already heard.
class HandOverTiming {
 public:
  using Clock = std::chrono::steady_clock;

  // Answers were heard at `now`.
  void answered(Clock::time_point now);
  // When to hand them on; nothing while every answer has been handed on.
  std::optional<Clock::time_point> due() const;
  void handedOn() { holdEnds_.reset(); }
  Clock::time_point lastAnswer() const { return lastAnswer_; }

 private:
  Clock::time_point burstOver() const;

  Clock::time_point burstStart_{};
  Clock::time_point lastAnswer_{};
  std::optional<Clock::time_point> holdEnds_;
};

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
  // Time to hand on the answers so far (see HandOverTiming).
  virtual void quiet() {}
};

class MulticastChannel {
 public:
  // The network is read at open, at every search and, for other requests,
  // as kAdapterListReuse allows.
  MulticastChannel(ChannelReceiver& receiver, HostNetwork& network);
  ~MulticastChannel();
  MulticastChannel(const MulticastChannel&) = delete;
  MulticastChannel& operator=(const MulticastChannel&) = delete;

  // 1 on success, 0 on failure (the reason is kept in openError()). Only
  // what lasts makes it fail: no socket, or the port held by another
  // program, or cancelOpen(). Opening an open channel returns 0 and changes
  // nothing.
  int open();
  // From any thread: an open() running now stops before its next adapter
  // and fails, so that a window closed meanwhile need not wait for a
  // thousand joins. Until close(), an open() that has not begun fails too.
  void cancelOpen() { openCancelled_ = true; }
  // Sends the header and payload to the group once through each adapter of
  // multicastAdapters(), each chosen by itself so that no route is needed.
  // Never waits: an adapter that cannot take the datagram at once misses it,
  // and the others still get it. The adapters are read again at every search
  // and at any other send more than kAdapterListReuse after the last reading:
  // the group is joined on new ones (a join that failed is tried again, and
  // its failure told once on stderr) and left on those that went. Does
  // nothing when the channel is not open or the payload is longer than
  // kMaxPayload.
  void send(std::uint32_t command, std::span<const std::uint8_t> payload);
  // A search; repeated by the receive thread while its answers overflow the
  // receive buffer (see SearchRounds).
  void sendSearch();
  // Asks the camera with this MAC text (as it came from the wire) to take a
  // new address and gateway, each the address control's value.
  void sendSetIp(std::string_view macText, std::uint32_t newAddress, std::uint32_t newGateway);
  // Stops the receive thread and closes the socket. When it returns, the
  // receiver is never called again.
  void close();

  bool isOpen() const { return running_; }
  const std::string& openError() const { return openError_; }
  int receiveBufferBytes() const { return receiveBufferBytes_; }
  // Every adapter tried since open(), in index order: joined or why not,
  // searches sent and answers heard through it, its socket's drops. Safe on
  // any thread except during open() and close().
  std::vector<AdapterTraffic> traffic() const;

 private:
  using Clock = SearchRounds::Clock;

  int failOpen();
  int failCancelledOpen();
  std::vector<Adapter> searchableAdapters();
  // Called with sendMutex_ held, or at open before the receive thread
  // starts: joins the group on adapters that appeared and leaves it on those
  // that went. At open, stops early once `stop` holds.
  void updateMemberships(const std::vector<Adapter>& adapters, const std::atomic<bool>* stop = nullptr);
  // On stderr, once until the adapter is joined or gone.
  void tellJoinFailure(const Adapter& adapter);
  // Called with sendMutex_ held; returns how many adapters it left through.
  std::size_t sendThrough(const std::vector<Adapter>& adapters, std::uint32_t command,
                          std::span<const std::uint8_t> payload);
  void receiveLoop();
  // Checks the search round if that is due, and returns when it is due next;
  // while the other thread is sending, it is checked again shortly.
  std::optional<Clock::time_point> checkSearchRound(Clock::time_point lastAnswer);
  // True when the datagram was an answer, handed to the receiver; counted
  // for its adapter as heard at `readAt`.
  bool dispatch(const ReceivedDatagram& datagram, Clock::time_point readAt);

  ChannelReceiver& receiver_;
  HostNetwork& network_;
  DatagramSocket socket_;
  std::atomic<bool> running_{false};
  std::atomic<bool> openCancelled_{false};
  std::thread receiveThread_;
  std::string openError_;
  int receiveBufferBytes_ = 0;

  // Both threads send (the receive thread repeats searches) and keep the
  // search rounds, one at a time; the receive thread never waits for the
  // lock (see checkSearchRound()).
  std::mutex sendMutex_;
  std::vector<Adapter> joined_;
  // Adapters whose join failed and was told, until it succeeds or they go.
  std::vector<unsigned> joinFailuresTold_;
  std::vector<Adapter> searchAdapters_;  // where the last search went
  // The UI thread's last reading of the adapter list.
  std::vector<Adapter> adapters_;
  std::optional<Clock::time_point> adaptersReadAt_;
  SearchRounds rounds_;
  TrafficLog trafficLog_;
};

}  // namespace discovery
