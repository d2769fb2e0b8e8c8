// Opening a channel without the UI thread waiting for it: a socket and a
// join for each adapter take seconds on a PC with a thousand adapters, so
// they are made on a worker while the window shows, and the outcome is
// handed to the UI thread through the timer.
#pragma once

#include <functional>
#include <memory>
#include <thread>

#include "pages/camera_channel.h"
#include "pages/timer.h"

namespace pages {

class ChannelOpening {
 public:
  using Opened = std::function<void(bool opened)>;

  // Starts opening `channel` at once; `opened` runs on the UI thread, from a
  // task posted to `timer`, unless this is destroyed first.
  ChannelOpening(CameraChannel& channel, Timer& timer, Opened opened);
  // Cancels an open still running and joins the worker: once this returns,
  // no thread touches the channel and `opened` never runs. The channel may
  // be open; its owner closes it.
  ~ChannelOpening();
  ChannelOpening(const ChannelOpening&) = delete;
  ChannelOpening& operator=(const ChannelOpening&) = delete;

 private:
  CameraChannel& channel_;
  // Read and cleared on the UI thread only: the posted task checks it.
  std::shared_ptr<bool> wanted_ = std::make_shared<bool>(true);
  std::thread worker_;
};

}  // namespace pages
