// Plays a set of cameras on one socket joined to the discovery group: answers
// every search with one reply per camera and applies set-IP requests addressed
// to one of them; refused requests are reported on standard error. Several
// simulators (and test clients) can share a host, since the socket is bound
// with address reuse.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "discovery/datagram_socket.h"
#include "discovery/protocol.h"
#include "tools/camera/simulated_cameras.h"

namespace camerasim {

// Runs on the simulator's thread before a camera takes the addresses of a
// set-IP request it can take (see whyNotAssignable); this is where a camera
// could really move a network interface. Returning a reason refuses the
// change: the camera keeps its addresses and its answer reports them. Empty
// accepts it.
using AddressChangeHook = std::function<std::string(
    const SimulatedCamera& camera, const discovery::Ipv4Bytes& newAddress, const discovery::Ipv4Bytes& newGateway)>;

class CameraSimulator {
 public:
  explicit CameraSimulator(std::vector<SimulatedCamera> cameras, AddressChangeHook beforeAddressChange = {});
  ~CameraSimulator();
  CameraSimulator(const CameraSimulator&) = delete;
  CameraSimulator& operator=(const CameraSimulator&) = delete;

  // Opens the socket, joins the group and starts answering on a thread of its
  // own; false on failure, with the reason in error(). Call it once.
  bool start();
  // Ends the thread, even in the middle of a long burst of replies, and
  // closes the socket. Safe to call more than once.
  void stop();

  const std::string& error() const { return error_; }
  // Before start(): set-IP requests are ignored, never answered.
  void ignoreSetIp() { answerSetIp_ = false; }

 private:
  void serve();
  void handle(std::span<const std::uint8_t> datagram);
  void answerSearch();
  void applySetIp(const discovery::SetIpRecord& request);
  void sendToGroup(std::uint32_t command, std::span<const std::uint8_t> payload);

  std::vector<SimulatedCamera> cameras_;  // touched only by the serving thread once started
  AddressChangeHook beforeAddressChange_;
  bool answerSetIp_ = true;
  discovery::DatagramSocket socket_;
  std::atomic<bool> stopRequested_{false};
  std::thread server_;
  std::string error_;
};

}  // namespace camerasim
