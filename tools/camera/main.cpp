// tovalen-camera: plays network cameras on the discovery group until SIGINT or
// SIGTERM. Prints one "ready" line once it listens, so that scripts and tests
// know when to start searching.
#include <pthread.h>
#include <signal.h>

#include <iostream>
#include <variant>

#include "discovery/channel.h"
#include "discovery/datagram_socket.h"
#include "tools/camera/camera_simulator.h"
#include "tools/camera/options.h"

namespace {

constexpr int kBadArguments = 2;
constexpr int kNoSocket = 1;

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
  const auto& range = std::get<camerasim::CameraRange>(parsed);

  // Blocked before any thread starts, so every thread inherits the mask and
  // the stop signals reach only the sigwait below.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

  const discovery::SocketLibrary sockets;
  camerasim::CameraSimulator simulator(camerasim::generateCameras(range));
  if (!simulator.start()) {
    std::cerr << "tovalen-camera: cannot listen on the discovery group: " << simulator.error() << "\n";
    return kNoSocket;
  }
  std::cout << "tovalen-camera: ready, " << range.count << " camera(s) on "
            << discovery::formatAddress(discovery::DISCOVERY_GROUP) << ":" << discovery::DISCOVERY_PORT << std::endl;

  int received = 0;
  sigwait(&stopSignals, &received);
  simulator.stop();
  return 0;
}
