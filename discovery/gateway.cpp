#include "discovery/gateway.h"

namespace discovery {

std::string gatewayOf(const std::vector<AdapterGateway>& adapters) {
  return adapters.empty() ? std::string() : adapters.back().gateway;
}

bool readGateway(std::string& gatewayText) {
  gatewayText.clear();
  std::vector<AdapterGateway> adapters;
  if (!listAdapterGateways(adapters)) return false;
  gatewayText = gatewayOf(adapters);
  return true;
}

std::string defaultAddress(std::string_view gatewayText) {
  const auto lastDot = gatewayText.rfind('.');
  if (lastDot == std::string_view::npos || lastDot == 0) return std::string(gatewayText);
  return std::string(gatewayText.substr(0, lastDot)) + ".241";
}

std::string defaultGateway(std::string_view gatewayText) { return std::string(gatewayText); }

}  // namespace discovery
