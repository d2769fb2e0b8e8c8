// tovalen-camera: plays network cameras on the discovery group until asked to
// stop (stop_request.h). Prints one "ready" line once it listens, so that
// scripts and tests know when to start searching.
#include <iostream>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "discovery/channel.h"
#include "discovery/datagram_socket.h"
#include "tools/camera/camera_simulator.h"
#include "tools/camera/interface_mover.h"
#include "tools/camera/options.h"
#include "tools/camera/stop_request.h"
#include "tools/camera/udp_echo.h"

namespace {

constexpr int kBadArguments = 2;
constexpr int kNoSocket = 1;

// Moves the interface for every change a camera can take; a change the
// interface cannot make is refused, and the camera keeps answering at its
// old address.
camerasim::AddressChangeHook movingHook(camerasim::InterfaceMover& mover) {
  return [&mover](const camerasim::SimulatedCamera& camera, const discovery::Ipv4Bytes& newAddress,
                  const discovery::Ipv4Bytes& newGateway) {
    return mover.move(camera.address, camera.gateway, newAddress, newGateway) ? std::string() : mover.error();
  };
}

}  // namespace

int main(int argc, char** argv) {
  const camerasim::ParsedOptions parsed = camerasim::parseOptions(argc, argv);
  if (std::holds_alternative<camerasim::HelpRequested>(parsed)) {
    std::cout << camerasim::usageText();
    return 0;
  }
  if (const auto* error = std::get_if<camerasim::OptionsError>(&parsed)) {
    std::cerr << "tovalen-camera: " << error->message << "\nTry 'tovalen-camera --help'.\n";
    return kBadArguments;
  }
  const auto& options = std::get<camerasim::SimulatorOptions>(parsed);

  camerasim::prepareForStopRequest();

  const discovery::SocketLibrary sockets;
  camerasim::InterfaceMover mover(options.moveInterface);
  std::vector<camerasim::SimulatedCamera> cameras = camerasim::generateCameras(options.cameras);
  camerasim::AddressChangeHook moving;
  if (!options.moveInterface.empty()) {
    // The moving camera's subnet is the one its address has on the interface.
    camerasim::SimulatedCamera& camera = cameras.front();
    camera.prefixLength = mover.prefixLengthOf(camera.address).value_or(camera.prefixLength);
    moving = movingHook(mover);
  }
  camerasim::CameraSimulator simulator(std::move(cameras), std::move(moving));
  if (!options.answerSetIp) simulator.ignoreSetIp();
  if (!simulator.start()) {
    std::cerr << "tovalen-camera: cannot listen on the discovery group: " << simulator.error() << "\n";
    return kNoSocket;
  }
  camerasim::UdpEcho echo;
  if (options.echoPort && !echo.start(*options.echoPort)) {
    std::cerr << "tovalen-camera: cannot echo on port " << *options.echoPort << ": " << echo.error() << "\n";
    return kNoSocket;
  }
  std::cout << "tovalen-camera: ready, " << options.cameras.count << " camera(s) on "
            << discovery::formatAddress(discovery::DISCOVERY_GROUP) << ":" << discovery::DISCOVERY_PORT << std::endl;

  camerasim::waitForStopRequest();
  echo.stop();
  simulator.stop();
  return 0;
}
