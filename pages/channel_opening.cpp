#include "pages/channel_opening.h"

#include <system_error>
#include <utility>

namespace pages {

ChannelOpening::ChannelOpening(CameraChannel& channel, Timer& timer, Opened opened) : channel_(channel) {
  auto open = [&channel, &timer, wanted = wanted_, opened = std::move(opened)] {
    const bool ok = channel.open();
    timer.post([wanted, opened, ok] {
      if (*wanted) opened(ok);
    });
  };
  try {
    worker_ = std::thread(open);
  } catch (const std::system_error&) {
    // No thread to spare: the window waits for the sockets rather than
    // never hearing a camera.
    open();
  }
}

ChannelOpening::~ChannelOpening() {
  channel_.cancelOpen();
  if (worker_.joinable()) worker_.join();
  *wanted_ = false;
}

}  // namespace pages
