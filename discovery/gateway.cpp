#include "discovery/gateway.h"

#include <algorithm>

#include "discovery/host_network.h"

namespace discovery {

std::string gatewayOf(const std::vector<Adapter>& adapters) {
  const auto last = std::find_if(adapters.rbegin(), adapters.rend(), [](const Adapter& adapter) { return !adapter.loopback; });
  return last == adapters.rend() ? std::string() : last->gateway;
}

bool readGateway(HostNetwork& network, std::string& gatewayText) {
  const auto adapters = network.adapters();
  gatewayText = adapters ? gatewayOf(*adapters) : std::string();
  return adapters.has_value();
}

std::string defaultAddress(std::string_view gatewayText) {
  const auto lastDot = gatewayText.rfind('.');
  if (lastDot == std::string_view::npos || lastDot == 0) return std::string(gatewayText);
  return std::string(gatewayText.substr(0, lastDot)) + ".241";
}

std::string defaultGateway(std::string_view gatewayText) { return std::string(gatewayText); }

}  // namespace discovery
