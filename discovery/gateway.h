// The PC's own gateway, and the default new address and gateway proposed for
// the camera the user will pick.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "discovery/adapters.h"

namespace discovery {

class HostNetwork;

// The gateway of the last adapter listed, whatever the earlier ones held
// (empty when it has none). Loopback plays no part.
std::string gatewayOf(const std::vector<Adapter>& adapters);

// Read gateway: fills `gatewayText` from the adapter list; when the list
// cannot be read it is left empty and false is returned.
bool readGateway(HostNetwork& network, std::string& gatewayText);

// Default address: the gateway with its last dotted field replaced by 241
// (192.168.1.1 -> 192.168.1.241); a text with no '.', or with one only at its
// start, is returned unchanged.
std::string defaultAddress(std::string_view gatewayText);

// Default gateway: the gateway text itself.
std::string defaultGateway(std::string_view gatewayText);

}  // namespace discovery
