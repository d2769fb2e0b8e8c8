// A camera channel that notes what went through it: how many set-IP
// requests were sent, and which cameras answered one. A front-end that must
// report each camera's answer (the terminal program) puts it between the
// page and the real channel.
#pragma once

#include <cstddef>
#include <set>
#include <string>

#include "pages/camera_channel.h"

namespace pages {

class ObservedChannel : public CameraChannel {
 public:
  explicit ObservedChannel(CameraChannel& channel) : channel_(channel) {}

  bool open() override { return channel_.open(); }
  void cancelOpen() override { channel_.cancelOpen(); }
  std::string openError() const override { return channel_.openError(); }
  void sendSearch() override { channel_.sendSearch(); }
  void sendSetIp(std::string_view mac, std::uint32_t newAddress, std::uint32_t newGateway) override;
  std::vector<discovery::DecodedRecord> takeRecords() override;
  void close() override { channel_.close(); }

  std::size_t setIpRequestsSent() const { return setIpRequestsSent_; }
  // Whether a set-IP answer came from this MAC text (the wire's bytes).
  bool answeredSetIp(const std::string& mac) const { return answered_.contains(mac); }

 private:
  CameraChannel& channel_;
  std::size_t setIpRequestsSent_ = 0;
  std::set<std::string> answered_;
};

}  // namespace pages
