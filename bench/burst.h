// One search answered by N distinct cameras at once: N search replies sent
// to the discovery group as fast as the sender can go.
#pragma once

#include <cstddef>
#include <vector>

#include "discovery/protocol.h"

namespace bench {

std::vector<discovery::Bytes> makeReplies(std::size_t cameras);
// Sends every reply from an ephemeral port, unpaced.
void sendBurst(const std::vector<discovery::Bytes>& replies);

}  // namespace bench
