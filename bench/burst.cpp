#include "burst.h"

#include <cstdio>

#include "discovery/channel.h"
#include "discovery/datagram_socket.h"
#include "support/datagrams.h"
#include "support/search_responder.h"

namespace bench {
namespace {

std::vector<discovery::Bytes> makeReplies(std::size_t cameras) {
  std::vector<discovery::Bytes> replies;
  replies.reserve(cameras);
  for (std::size_t i = 0; i < cameras; ++i) {
    char mac[20], ip[20];
    std::snprintf(mac, sizeof mac, "00:1A:2B:%02X:%02X:%02X", unsigned(i >> 16 & 0xFF), unsigned(i >> 8 & 0xFF),
                  unsigned(i & 0xFF));
    std::snprintf(ip, sizeof ip, "10.%u.%u.%u", unsigned(i >> 16 & 0xFF), unsigned(i >> 8 & 0xFF), unsigned(i & 0xFF));
    replies.push_back(testsupport::searchReply(mac, ip));
  }
  return replies;
}

}  // namespace

Cameras::Cameras(std::size_t count)
    : replies_(makeReplies(count)),
      responder_(std::make_unique<testsupport::SearchResponder>([this](std::size_t) {
        discovery::DatagramSocket sender;
        if (!sender.create()) return;
        for (const auto& reply : replies_) sender.sendTo(discovery::DISCOVERY_GROUP, discovery::DISCOVERY_PORT, reply);
      })) {}

Cameras::~Cameras() = default;

bool Cameras::ok() const { return responder_->ok(); }

std::size_t Cameras::searchesAnswered() const { return responder_->searchesAnswered(); }

}  // namespace bench
