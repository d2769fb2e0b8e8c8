#include "support/group_capture.h"

namespace testsupport {

std::optional<std::vector<CapturedDatagram>> readUpToMarker(std::intptr_t capture, const CapturePredicate& isMarker,
                                                            const CapturePredicate& keep) {
  std::vector<CapturedDatagram> kept;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (std::chrono::steady_clock::now() < deadline) {
    auto datagram = nextGroupDatagram(capture, std::chrono::milliseconds(100));
    if (!datagram) continue;
    if (isMarker(*datagram)) return kept;
    if (keep(*datagram)) kept.push_back(std::move(*datagram));
  }
  return std::nullopt;
}

}  // namespace testsupport
