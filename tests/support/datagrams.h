// Camera answers as they travel, and the records they carry, for tests that
// play the cameras.
#pragma once

#include <cstddef>
#include <string_view>

#include "discovery/protocol.h"

namespace testsupport {

inline discovery::DeviceInfoRecord deviceRecord(std::string_view mac, std::string_view ip = "10.0.0.5",
                                                std::string_view gateway = "10.0.0.1") {
  discovery::DeviceInfoRecord record;
  record.mac.assign(mac);
  record.ip.assign(ip);
  record.gateway.assign(gateway);
  return record;
}

inline discovery::SetIpRecord setIpRecord(std::string_view mac, discovery::Ipv4Bytes address,
                                          discovery::Ipv4Bytes gateway) {
  discovery::SetIpRecord record;
  record.mac.assign(mac);
  record.newAddress = address;
  record.newGateway = gateway;
  return record;
}

inline discovery::Bytes searchReply(std::string_view mac, std::string_view ip = "10.0.0.5",
                                    std::string_view gateway = "10.0.0.1") {
  const auto record = discovery::encodeRecord(deviceRecord(mac, ip, gateway));
  return discovery::encodeDatagram(discovery::CMD_SEARCH_REPLY, record);
}

inline discovery::Bytes setIpReply(std::string_view mac, discovery::Ipv4Bytes address, discovery::Ipv4Bytes gateway) {
  const auto record = discovery::encodeRecord(setIpRecord(mac, address, gateway));
  return discovery::encodeDatagram(discovery::CMD_SET_IP_REPLY, record);
}

// A datagram cut, or padded with non-NUL bytes, to `length`.
inline discovery::Bytes resized(discovery::Bytes datagram, std::size_t length) {
  datagram.resize(length, 'Z');
  return datagram;
}

}  // namespace testsupport
