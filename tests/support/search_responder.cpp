#include "support/search_responder.h"

#include <fcntl.h>
#include <linux/filter.h>
#include <linux/if_ether.h>
#include <linux/if_packet.h>
#include <net/if.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <iterator>

#include "discovery/channel.h"
#include "support/group_capture.h"

namespace testsupport {
namespace {

// The IPv4 packet of a search as it arrives: a 20-byte IP header, UDP to the
// discovery port, then the 16-byte request whose command (little-endian
// 0x101) reads as 0x01010000 when loaded most significant byte first.
constexpr std::uint32_t kSearchPacketLength = 20 + 8 + 16;
constexpr std::uint32_t kSearchCommandAsLoaded = 0x01010000;

}  // namespace

SearchResponder::SearchResponder(std::function<void(std::size_t)> answer) : answer_(std::move(answer)) {
  sock_filter onlyIncomingSearches[] = {
      BPF_STMT(BPF_LD | BPF_W | BPF_ABS, static_cast<std::uint32_t>(SKF_AD_OFF + SKF_AD_PKTTYPE)),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, PACKET_OUTGOING, 8, 0),
      BPF_STMT(BPF_LD | BPF_B | BPF_ABS, 9),  // protocol
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, IPPROTO_UDP, 0, 6),
      BPF_STMT(BPF_LD | BPF_H | BPF_ABS, 2),  // total length
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, kSearchPacketLength, 0, 4),
      BPF_STMT(BPF_LD | BPF_H | BPF_ABS, 22),  // destination port
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, discovery::DISCOVERY_PORT, 0, 2),
      BPF_STMT(BPF_LD | BPF_W | BPF_ABS, 28 + 4),  // command
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, kSearchCommandAsLoaded, 1, 0),
      BPF_STMT(BPF_RET | BPF_K, 0),
      BPF_STMT(BPF_RET | BPF_K, 0xFFFF),
  };
  const sock_fprog filter{static_cast<unsigned short>(std::size(onlyIncomingSearches)), onlyIncomingSearches};
  capture_ = openCapture(if_nametoindex("lo"), ETH_P_IP, &filter);
  int stop[2];
  if (capture_ >= 0 && ::pipe2(stop, O_CLOEXEC) == 0) {
    stopRead_ = stop[0];
    stopWrite_ = stop[1];
    thread_ = std::thread(&SearchResponder::serve, this);
  }
}

SearchResponder::~SearchResponder() {
  if (thread_.joinable()) {
    ::close(stopWrite_);  // the thread sees the end of the pipe
    thread_.join();
    ::close(stopRead_);
  }
  if (capture_ >= 0) ::close(capture_);
}

void SearchResponder::serve() {
  std::uint8_t packet[256];
  for (;;) {
    pollfd ready[2] = {{stopRead_, POLLIN, 0}, {capture_, POLLIN, 0}};
    if (::poll(ready, 2, -1) < 0) continue;
    if (ready[0].revents != 0) return;
    if (::recv(capture_, packet, sizeof packet, MSG_DONTWAIT) > 0) answer_(++answered_);
  }
}

}  // namespace testsupport
