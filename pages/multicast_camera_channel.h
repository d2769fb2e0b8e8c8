// The camera page's channel on the network: the multicast channel, whose
// receive thread queues what it decodes without ever waiting for the UI
// thread, and wakes the UI thread when a burst has quieted down.
#pragma once

#include <functional>

#include "discovery/channel.h"
#include "discovery/host_network.h"
#include "pages/record_queue.h"
#include "pages/camera_channel.h"

namespace pages {

class MulticastCameraChannel : public CameraChannel {
 public:
  // `wake` runs on the receive thread; it must only schedule the page's
  // recordsArrived() on the UI thread.
  MulticastCameraChannel(discovery::HostNetwork& network, std::function<void()> wake)
      : inbox_(std::move(wake)), channel_(inbox_, network) {}
  ~MulticastCameraChannel() override { close(); }

  bool open() override { return channel_.open() == 1; }
  void cancelOpen() override { channel_.cancelOpen(); }
  std::string openError() const override { return channel_.openError(); }
  void sendSearch() override { channel_.sendSearch(); }
  void sendSetIp(std::string_view mac, std::uint32_t newAddress, std::uint32_t newGateway) override {
    channel_.sendSetIp(mac, newAddress, newGateway);
  }
  std::vector<discovery::DecodedRecord> takeRecords() override { return inbox_.takeAll(); }
  void close() override { channel_.close(); }

  const discovery::MulticastChannel& multicast() const { return channel_; }
  // The network check searches through it and reads its counters.
  discovery::MulticastChannel& multicast() { return channel_; }

 private:
  RecordQueue inbox_;
  discovery::MulticastChannel channel_;
};

}  // namespace pages
