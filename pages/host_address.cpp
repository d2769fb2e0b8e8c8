#include "pages/host_address.h"

namespace pages {

bool canBeHostAddress(std::uint32_t address) {
  const std::uint32_t firstField = address >> 24;
  constexpr std::uint32_t kThisNetwork = 0;
  constexpr std::uint32_t kLoopback = 127;
  constexpr std::uint32_t kFirstMulticast = 224;  // 224/4 multicast, then 240/4 reserved and broadcast
  return firstField != kThisNetwork && firstField != kLoopback && firstField < kFirstMulticast;
}

}  // namespace pages
