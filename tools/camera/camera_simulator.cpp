#include "tools/camera/camera_simulator.h"

#include <algorithm>
#include <iostream>
#include <utility>

#include "discovery/channel.h"
#include "tools/camera/read_loop.h"

namespace camerasim {

CameraSimulator::CameraSimulator(std::vector<SimulatedCamera> cameras, AddressChangeHook beforeAddressChange)
    : cameras_(std::move(cameras)), beforeAddressChange_(std::move(beforeAddressChange)) {}

CameraSimulator::~CameraSimulator() { stop(); }

bool CameraSimulator::start() {
  if (!socket_.create() || !socket_.enableAddressReuse() || !socket_.bindAny(discovery::DISCOVERY_PORT) ||
      !socket_.setMulticastTtl(discovery::kMulticastTtl) || !socket_.joinGroup(discovery::DISCOVERY_GROUP)) {
    error_ = socket_.lastError();
    socket_.close();
    return false;
  }
  // Every reply comes back to this socket through multicast loopback; room for
  // a burst of them keeps requests that arrive meanwhile from being dropped.
  socket_.requestReceiveBuffer(discovery::kWantedReceiveBuffer);
  server_ = std::thread(&CameraSimulator::serve, this);
  return true;
}

void CameraSimulator::stop() {
  stopRequested_ = true;
  socket_.interrupt();
  if (server_.joinable()) server_.join();
  socket_.close();
}

void CameraSimulator::serve() {
  readUntilInterrupted(socket_, [this](const discovery::ReceivedDatagram& datagram) {
    if (stopRequested_) return false;
    handle(datagram.payload());
    return true;
  });
}

void CameraSimulator::handle(std::span<const std::uint8_t> datagram) {
  if (discovery::commandOf(datagram) == discovery::CMD_SEARCH)
    answerSearch();
  else if (const auto request = discovery::decodeSetIpRequest(datagram); request && answerSetIp_)
    applySetIp(*request);
}

void CameraSimulator::answerSearch() {
  for (const SimulatedCamera& camera : cameras_) {
    if (stopRequested_) return;
    discovery::DeviceInfoRecord reply;
    reply.ip.assign(discovery::formatAddress(camera.address));
    reply.mac = camera.mac;
    reply.gateway.assign(discovery::formatAddress(camera.gateway));
    sendToGroup(discovery::CMD_SEARCH_REPLY, discovery::encodeRecord(reply));
  }
}

void CameraSimulator::applySetIp(const discovery::SetIpRecord& request) {
  const auto camera = std::ranges::find_if(
      cameras_, [&](const SimulatedCamera& candidate) { return candidate.mac.text() == request.mac.text(); });
  if (camera == cameras_.end()) return;
  std::string refusal = whyNotAssignable(request.newAddress, request.newGateway, camera->prefixLength);
  if (refusal.empty() && beforeAddressChange_)
    refusal = beforeAddressChange_(*camera, request.newAddress, request.newGateway);
  if (refusal.empty()) {
    camera->address = request.newAddress;
    camera->gateway = request.newGateway;
  } else {
    std::cerr << "tovalen-camera: change to " << discovery::formatAddress(request.newAddress) << " refused: " << refusal
              << std::endl;
  }
  const discovery::SetIpRecord reply{camera->mac, camera->address, camera->gateway};
  sendToGroup(discovery::CMD_SET_IP_REPLY, discovery::encodeRecord(reply));
}

void CameraSimulator::sendToGroup(std::uint32_t command, std::span<const std::uint8_t> payload) {
  socket_.sendTo(discovery::DISCOVERY_GROUP, discovery::DISCOVERY_PORT, discovery::encodeDatagram(command, payload));
}

}  // namespace camerasim
