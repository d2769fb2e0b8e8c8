#include "tools/camera/read_loop.h"

#include <vector>

#include "discovery/channel.h"

namespace camerasim {

void readUntilInterrupted(discovery::DatagramSocket& socket,
                          const std::function<bool(const discovery::ReceivedDatagram&)>& handle) {
  using discovery::ReceiveResult;
  std::vector<discovery::ReceivedDatagram> slots(discovery::kReceiveBatch);
  for (;;) {
    const ReceiveResult result = socket.receive(slots);
    if (result.status == ReceiveResult::Status::Interrupted) return;
    if (result.status == ReceiveResult::Status::Failed) {
      if (socket.pause(discovery::kIdlePause)) return;
      continue;
    }
    for (std::size_t i = 0; i < result.count; ++i)
      if (!handle(slots[i])) return;
  }
}

}  // namespace camerasim
