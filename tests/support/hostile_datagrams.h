// Random datagrams for flood and bad-input tests, drawn from a seeded
// generator so that a failing run can be replayed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <string>

#include "discovery/protocol.h"

namespace testsupport {

using Random = std::mt19937;

// A MAC text as cameras write it ("00:1a:2b:..."), or 1 to 20 arbitrary
// non-NUL bytes (often not GBK).
std::string randomMac(Random& random);

// A datagram that must never give a record: random bytes of any length from
// 0 to 1100 not starting with the magic, an answer cut short of its record,
// an answer longer than the receive buffer, or the magic with a command that
// is not an answer.
discovery::Bytes junkDatagram(Random& random);

// The junk of a stream seen in the field, by turns: the right magic with a
// command that is no answer (16 bytes), and an empty datagram.
inline discovery::Bytes strayDatagram(std::size_t turn) {
  constexpr std::uint32_t kNoAnswer = 0x7A7A;
  return turn % 2 ? discovery::Bytes{} : discovery::encodeDatagram(kNoAnswer, {});
}

// How many datagrams of up to 1100 bytes a receive buffer of that size holds
// even if nothing reads it meanwhile: paced by this, a burst loses none.
std::size_t datagramsHeldBy(int receiveBufferBytes);

}  // namespace testsupport
