#include "pages/channel_opening.h"

#include <system_error>
#include <utility>

#include "discovery/gateway.h"

namespace pages {

ChannelOpening::ChannelOpening(CameraChannel& channel, discovery::HostNetwork& network, Timer& timer,
                               GatewayRead gatewayRead, Opened opened)
    : channel_(channel) {
  auto open = [&channel, &network, &timer, wanted = wanted_, gatewayRead = std::move(gatewayRead),
               opened = std::move(opened)] {
    std::string gateway;
    discovery::readGateway(network, gateway);
    timer.post([wanted, gatewayRead, gateway] {
      if (*wanted) gatewayRead(gateway);
    });
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
