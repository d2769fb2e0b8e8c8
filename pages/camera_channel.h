// What the camera page sends and hears: requests go out to the cameras,
// decoded records come back. The records wait until the UI thread takes
// them, when the channel's wake-up (given to whoever makes the channel) has
// told it to.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "discovery/protocol.h"

namespace pages {

class CameraChannel {
 public:
  virtual ~CameraChannel() = default;
  // False when nothing can be heard (openError() says why); the page works
  // on without answers.
  virtual bool open() = 0;
  // From any thread: an open() running on another one ends soon, failing.
  virtual void cancelOpen() {}
  virtual std::string openError() const = 0;
  virtual void sendSearch() = 0;
  // To the camera with this MAC text (the wire's bytes); addresses are the
  // address control's values, first field most significant.
  virtual void sendSetIp(std::string_view mac, std::uint32_t newAddress, std::uint32_t newGateway) = 0;
  // What has arrived since the last call, oldest first.
  virtual std::vector<discovery::DecodedRecord> takeRecords() = 0;
  // Once closed, the wake-up is never called again.
  virtual void close() = 0;
};

}  // namespace pages
