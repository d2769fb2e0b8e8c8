// Opening the camera page without the UI thread waiting for the system: on a
// PC with a thousand adapters, reading the adapter list takes milliseconds
// and a socket and a join for each take seconds. A worker reads the PC's
// gateway, then opens the channel, while the window shows; each outcome is
// handed to the UI thread through the timer.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "discovery/host_network.h"
#include "pages/camera_channel.h"
#include "pages/timer.h"

namespace pages {

class ChannelOpening {
 public:
  using GatewayRead = std::function<void(const std::string& gateway)>;  // empty: none, or unreadable
  using Opened = std::function<void(bool opened)>;

  // Starts at once; `gatewayRead`, then `opened`, run on the UI thread, from
  // tasks posted to `timer`, unless this is destroyed first.
  ChannelOpening(CameraChannel& channel, discovery::HostNetwork& network, Timer& timer, GatewayRead gatewayRead,
                 Opened opened);
  // Cancels an open still running and joins the worker: once this returns,
  // no thread touches the channel and neither task runs. The channel may be
  // open; its owner closes it.
  ~ChannelOpening();
  ChannelOpening(const ChannelOpening&) = delete;
  ChannelOpening& operator=(const ChannelOpening&) = delete;

 private:
  CameraChannel& channel_;
  // Read and cleared on the UI thread only: the posted tasks check it.
  std::shared_ptr<bool> wanted_ = std::make_shared<bool>(true);
  std::thread worker_;
};

}  // namespace pages
