// The kernel's interfaces, addresses and routes as rtnetlink dumps them, read
// with bounds checks throughout: a message, attribute or next hop that does
// not fit where it claims to is never read past.
#pragma once

#include <linux/netlink.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace discovery::netlink {

using Bytes = std::span<const std::byte>;

// One message of a dump: its type and what follows its netlink header.
struct Message {
  std::uint16_t type = 0;
  std::vector<std::byte> body;
};

// Every message the kernel answers a dump request of `type` (RTM_GETLINK,
// RTM_GETADDR, RTM_GETROUTE) for `family` with. A dump the kernel marks as
// interrupted (the tables changed under it) is read again, a few times at
// most. Nothing when the kernel could not be asked, refused, answered
// something that does not read as netlink, or was interrupted every time.
std::optional<std::vector<Message>> dump(std::uint16_t type, unsigned char family);

// The messages packed in one datagram from a netlink socket; nothing when it
// does not split into messages.
std::optional<std::vector<Message>> messagesIn(Bytes datagram);

// Attribute type -> its value; the first of each type counts.
using Attributes = std::map<std::uint16_t, Bytes>;

// The attributes packed in `area`; nothing when they do not fill it exactly.
std::optional<Attributes> attributesIn(Bytes area);

// A T copied from the start of `bytes`, when they hold one.
template <class T>
std::optional<T> front(Bytes bytes) {
  if (bytes.size() < sizeof(T)) return std::nullopt;
  T value;
  std::memcpy(&value, bytes.data(), sizeof value);
  return value;
}

// A message of a kind with a fixed header (ifinfomsg, ifaddrmsg, rtmsg)
// followed by attributes.
template <class Header>
struct Parsed {
  Header header;
  Attributes attributes;
};

// Nothing when the message is too short for its header or its attributes do
// not read. The attributes point into the message, which must outlive them.
template <class Header>
std::optional<Parsed<Header>> parse(Message&&) = delete;
template <class Header>
std::optional<Parsed<Header>> parse(const Message& message) {
  const Bytes body(message.body);
  const auto header = front<Header>(body);
  if (!header) return std::nullopt;
  auto attributes = attributesIn(body.subspan(std::min<std::size_t>(NLMSG_ALIGN(sizeof(Header)), body.size())));
  if (!attributes) return std::nullopt;
  return Parsed<Header>{*header, std::move(*attributes)};
}

// The attribute's value as a T of exactly its size; nothing when the
// attribute is missing or of another size.
template <class T>
std::optional<T> valueOf(const Attributes& attributes, std::uint16_t type) {
  const auto found = attributes.find(type);
  if (found == attributes.end() || found->second.size() != sizeof(T)) return std::nullopt;
  return front<T>(found->second);
}

// A text attribute, up to its terminating NUL; empty when missing.
std::string textOf(const Attributes& attributes, std::uint16_t type);

// One next hop of a multipath route (RTA_MULTIPATH): its interface and its
// own attributes (RTA_GATEWAY).
struct NextHop {
  unsigned interfaceIndex = 0;
  Attributes attributes;
};

// The next hops packed in an RTA_MULTIPATH value; none when they do not all
// read.
std::vector<NextHop> nextHops(Bytes multipath);

// Where the IPv4 default routes of the main table leave, in the order the
// kernel listed them: each route's interface with its attributes, and each
// next hop of a multipath route for its own interface. A message that does
// not read is skipped. The attributes point into the messages.
std::vector<NextHop> defaultRouteExits(const std::vector<Message>& routes);

}  // namespace discovery::netlink
