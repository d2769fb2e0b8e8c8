#include "discovery/platform/linux/route_netlink.h"

#include <linux/rtnetlink.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace discovery::netlink {
namespace {

// The tables rarely change twice during one dump; a dump interrupted this
// many times in a row is given up.
constexpr int kDumpAttempts = 8;

template <class Header>
struct Record {
  Header header;
  Bytes body;  // what follows the header, up to the record's length
};

// Netlink packs messages, attributes and next hops alike: each record starts
// with a header whose `length` member counts the whole record, and the next
// one starts at the following multiple of 4 bytes. Nothing when `area` does
// not split into such records.
template <class Header, auto length>
std::optional<std::vector<Record<Header>>> records(Bytes area) {
  std::vector<Record<Header>> split;
  while (!area.empty()) {
    const auto header = front<Header>(area);
    if (!header) return std::nullopt;
    const std::size_t size = (*header).*length;
    if (size < sizeof(Header) || size > area.size()) return std::nullopt;
    split.push_back({*header, area.subspan(sizeof(Header), size - sizeof(Header))});
    area = area.subspan(std::min<std::size_t>(NLMSG_ALIGN(size), area.size()));
  }
  return split;
}

bool sendDumpRequest(int socket, std::uint16_t type, unsigned char family) {
  struct {
    nlmsghdr header;
    rtgenmsg body;
  } request{};
  request.header.nlmsg_len = NLMSG_LENGTH(sizeof request.body);
  request.header.nlmsg_type = type;
  request.header.nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
  request.body.rtgen_family = family;
  sockaddr_nl kernel{};
  kernel.nl_family = AF_NETLINK;
  return ::sendto(socket, &request, request.header.nlmsg_len, 0, reinterpret_cast<const sockaddr*>(&kernel),
                  sizeof kernel) == static_cast<ssize_t>(request.header.nlmsg_len);
}

ssize_t receiveInto(int socket, void* buffer, std::size_t size, int flags) {
  ssize_t length;
  do {
    length = ::recv(socket, buffer, size, flags);
  } while (length < 0 && errno == EINTR);
  return length;
}

// The next datagram of the answer, read whole: one interface's record can
// outgrow any fixed buffer, and a datagram cut short would lose the rest.
std::optional<std::vector<std::byte>> receiveDatagram(int socket) {
  const ssize_t size = receiveInto(socket, nullptr, 0, MSG_PEEK | MSG_TRUNC);
  if (size < 0) return std::nullopt;
  std::vector<std::byte> datagram(static_cast<std::size_t>(size));
  if (receiveInto(socket, datagram.data(), datagram.size(), 0) != size) return std::nullopt;
  return datagram;
}

struct Answer {
  std::vector<Message> messages;
  bool interrupted = false;
};

// The answer to the dump request just sent, up to its NLMSG_DONE.
std::optional<Answer> readAnswer(int socket) {
  Answer answer;
  for (;;) {
    const auto datagram = receiveDatagram(socket);
    if (!datagram) return std::nullopt;
    const auto split = records<nlmsghdr, &nlmsghdr::nlmsg_len>(*datagram);
    if (!split) return std::nullopt;
    for (const auto& [header, body] : *split) {
      answer.interrupted |= (header.nlmsg_flags & NLM_F_DUMP_INTR) != 0;
      if (header.nlmsg_type == NLMSG_ERROR) return std::nullopt;
      if (header.nlmsg_type == NLMSG_DONE) {
        // It carries the dump's own result: negative when the dump failed.
        if (front<int>(body).value_or(0) < 0) return std::nullopt;
        return answer;
      }
      answer.messages.push_back({header.nlmsg_type, {body.begin(), body.end()}});
    }
  }
}

std::optional<std::vector<Message>> dumpThrough(int socket, std::uint16_t type, unsigned char family) {
  for (int attempt = 0; attempt < kDumpAttempts; ++attempt) {
    if (!sendDumpRequest(socket, type, family)) return std::nullopt;
    auto answer = readAnswer(socket);
    if (!answer) return std::nullopt;
    if (!answer->interrupted) return std::move(answer->messages);
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::vector<Message>> dump(std::uint16_t type, unsigned char family) {
  const int socket = ::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_ROUTE);
  if (socket < 0) return std::nullopt;
  auto messages = dumpThrough(socket, type, family);
  ::close(socket);
  return messages;
}

std::optional<std::vector<Message>> messagesIn(Bytes datagram) {
  const auto split = records<nlmsghdr, &nlmsghdr::nlmsg_len>(datagram);
  if (!split) return std::nullopt;
  std::vector<Message> messages;
  for (const auto& [header, body] : *split) messages.push_back({header.nlmsg_type, {body.begin(), body.end()}});
  return messages;
}

std::optional<Attributes> attributesIn(Bytes area) {
  const auto split = records<rtattr, &rtattr::rta_len>(area);
  if (!split) return std::nullopt;
  Attributes attributes;
  for (const auto& [header, value] : *split) attributes.emplace(header.rta_type & NLA_TYPE_MASK, value);
  return attributes;
}

std::string textOf(const Attributes& attributes, std::uint16_t type) {
  const auto found = attributes.find(type);
  if (found == attributes.end()) return {};
  const Bytes value = found->second;
  const auto end = std::find(value.begin(), value.end(), std::byte{0});
  return std::string(reinterpret_cast<const char*>(value.data()), static_cast<std::size_t>(end - value.begin()));
}

std::vector<NextHop> nextHops(Bytes multipath) {
  const auto split = records<rtnexthop, &rtnexthop::rtnh_len>(multipath);
  if (!split) return {};
  std::vector<NextHop> hops;
  for (const auto& [header, area] : *split) {
    auto attributes = attributesIn(area);
    if (!attributes) return {};
    hops.push_back({static_cast<unsigned>(header.rtnh_ifindex), std::move(*attributes)});
  }
  return hops;
}

std::vector<NextHop> defaultRouteExits(const std::vector<Message>& routes) {
  std::vector<NextHop> exits;
  for (const Message& message : routes) {
    const auto route = parse<rtmsg>(message);
    if (message.type != RTM_NEWROUTE || !route || route->header.rtm_family != AF_INET ||
        route->header.rtm_dst_len != 0 || route->header.rtm_type != RTN_UNICAST ||
        valueOf<std::uint32_t>(route->attributes, RTA_TABLE).value_or(route->header.rtm_table) != RT_TABLE_MAIN)
      continue;
    if (const auto index = valueOf<std::uint32_t>(route->attributes, RTA_OIF))
      exits.push_back({*index, route->attributes});
    if (const auto multipath = route->attributes.find(RTA_MULTIPATH); multipath != route->attributes.end())
      for (NextHop& hop : nextHops(multipath->second)) exits.push_back(std::move(hop));
  }
  return exits;
}

}  // namespace discovery::netlink
