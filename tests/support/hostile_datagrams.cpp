#include "support/hostile_datagrams.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

#include "support/datagrams.h"

namespace testsupport {
namespace {

constexpr std::size_t kLongest = 1100;
constexpr std::size_t kReceiveLimit = 1023;
// What the kernel may charge for queueing one datagram of up to kLongest
// bytes on loopback: 2,304 bytes measured for 1,100, with room to spare.
constexpr int kBufferCostPerDatagram = 4096;

std::size_t between(Random& random, std::size_t low, std::size_t high) {
  return std::uniform_int_distribution<std::size_t>(low, high)(random);
}

discovery::Bytes randomBytes(Random& random, std::size_t length) {
  discovery::Bytes bytes(length);
  std::generate(bytes.begin(), bytes.end(), [&] { return static_cast<std::uint8_t>(random()); });
  return bytes;
}

}  // namespace

std::string randomMac(Random& random) {
  if (random() % 2) {
    char text[18];
    std::snprintf(text, sizeof text, "%02x:%02x:%02x:%02x:%02x:%02x", static_cast<unsigned>(random() % 256),
                  static_cast<unsigned>(random() % 256), static_cast<unsigned>(random() % 256),
                  static_cast<unsigned>(random() % 256), static_cast<unsigned>(random() % 256),
                  static_cast<unsigned>(random() % 256));
    return text;
  }
  std::string mac(between(random, 1, 20), '\0');
  std::generate(mac.begin(), mac.end(), [&] { return static_cast<char>(between(random, 1, 255)); });
  return mac;
}

discovery::Bytes junkDatagram(Random& random) {
  discovery::Bytes answer = random() % 2 ? searchReply(randomMac(random))
                                          : setIpReply(randomMac(random), {1, 2, 3, 4}, {1, 2, 3, 1});
  switch (random() % 4) {
    case 0: {
      discovery::Bytes bytes = randomBytes(random, between(random, 0, kLongest));
      if (!bytes.empty() && bytes[0] == discovery::DiscoveryHeader::kMagic[0]) bytes[0] = 0;
      return bytes;
    }
    case 1:
      return resized(answer, between(random, 0, answer.size() - 1));
    case 2:
      return resized(answer, between(random, kReceiveLimit + 1, kLongest));
    default: {
      // The requests and the commands next to the answers, or any other.
      constexpr std::uint32_t kNear[] = {0, discovery::CMD_SEARCH, discovery::CMD_SET_IP, 0x100, 0x105};
      std::uint32_t command = kNear[random() % std::size(kNear)];
      if (random() % 2) {
        do command = static_cast<std::uint32_t>(random());
        while (command == discovery::CMD_SEARCH_REPLY || command == discovery::CMD_SET_IP_REPLY);
      }
      const discovery::Bytes payload = randomBytes(random, between(random, 0, kReceiveLimit - 16));
      return discovery::encodeDatagram(command, payload);
    }
  }
}

std::size_t datagramsHeldBy(int receiveBufferBytes) {
  return static_cast<std::size_t>(std::max(1, receiveBufferBytes / kBufferCostPerDatagram));
}

}  // namespace testsupport
