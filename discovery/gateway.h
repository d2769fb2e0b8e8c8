// The PC's own gateway, and the default new address and gateway proposed for
// the camera the user will pick.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace discovery {

// One network adapter as the system lists it, with the text of its first
// gateway (empty when it has none).
struct AdapterGateway {
  std::string adapter;
  std::string gateway;
};

// The platform's adapter list in the platform's order; false when the query
// failed. Defined once per platform.
bool listAdapterGateways(std::vector<AdapterGateway>& adapters);

// The last listed adapter decides, whatever the earlier ones held.
std::string gatewayOf(const std::vector<AdapterGateway>& adapters);

// Read gateway: fills `gatewayText` from the adapter list; on failure it is
// left empty and false is returned.
bool readGateway(std::string& gatewayText);

// Default address: the gateway with its last dotted field replaced by 241
// (192.168.1.1 -> 192.168.1.241); a text with no '.', or with one only at its
// start, is returned unchanged.
std::string defaultAddress(std::string_view gatewayText);

// Default gateway: the gateway text itself.
std::string defaultGateway(std::string_view gatewayText);

}  // namespace discovery
