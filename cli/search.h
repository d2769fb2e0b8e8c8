// A search from the terminal: the channel opened, one search sent, every
// answer heard for a while, the cameras as the list would hold them.
#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "discovery/host_network.h"
#include "pages/camera_listing.h"

namespace cli {

struct SearchOutcome {
  std::vector<pages::ListedCamera> cameras;  // in the order first heard, each MAC once
  std::string openError;                     // why the channel could not open; empty when it did
};

SearchOutcome searchCameras(discovery::HostNetwork& network, std::chrono::seconds listening);

}  // namespace cli
