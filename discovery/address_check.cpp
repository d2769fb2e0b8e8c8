#include "discovery/address_check.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>

namespace discovery {
namespace {

std::uint32_t numeric(const Ipv4Bytes& address) {
  return std::uint32_t{address[0]} << 24 | std::uint32_t{address[1]} << 16 | std::uint32_t{address[2]} << 8 |
         address[3];
}

std::uint32_t maskOf(int prefixLength) {
  return prefixLength <= 0 ? 0 : prefixLength >= 32 ? ~std::uint32_t{0} : ~std::uint32_t{0} << (32 - prefixLength);
}

AddressAnswer cannotVerify(const Ipv4Bytes& address, std::string reason) {
  AddressAnswer answer;
  answer.address = address;
  answer.reason = std::move(reason);
  return answer;
}

bool isOwn(const std::vector<Adapter>& adapters, const Ipv4Bytes& address) {
  return std::any_of(adapters.begin(), adapters.end(), [&address](const Adapter& adapter) {
    return std::any_of(adapter.addresses.begin(), adapter.addresses.end(),
                       [&address](const AssignedAddress& assigned) { return assigned.address == address; });
  });
}

std::vector<Ipv4Bytes> distinct(std::vector<Ipv4Bytes> addresses) {
  std::vector<Ipv4Bytes> seen;
  for (const Ipv4Bytes& address : addresses)
    if (std::find(seen.begin(), seen.end(), address) == seen.end()) seen.push_back(address);
  return seen;
}

void checkAll(const std::stop_token& stop, HostNetwork& network, AddressProbe& probe,
              const std::vector<Ipv4Bytes>& addresses, const AddressProbe::Answered& answered) {
  const auto adapters = network.adapters();
  std::vector<Ipv4Bytes> onLink;
  for (const Ipv4Bytes& address : addresses) {
    if (stop.stop_requested()) return;
    if (!adapters) {
      answered(cannotVerify(address, "the PC's network adapters could not be listed"));
    } else if (const auto known = answerFromAdapters(*adapters, address)) {
      answered(*known);
    } else {
      onLink.push_back(address);
    }
  }
  if (!onLink.empty() && !stop.stop_requested()) probe.probe(onLink, stop, answered);
}

}  // namespace

std::optional<AddressAnswer> answerFromAdapters(const std::vector<Adapter>& adapters, const Ipv4Bytes& address) {
  if (isOwn(adapters, address)) {
    AddressAnswer own;
    own.address = address;
    own.use = AddressUse::InUse;
    own.ownAddress = true;
    return own;
  }
  const std::uint32_t target = numeric(address);
  for (const Adapter& adapter : adapters) {
    // Only an adapter that is up can resolve an address on its link.
    if (!adapter.up || adapter.loopback) continue;
    for (const AssignedAddress& assigned : adapter.addresses) {
      if (assigned.prefixLength < 0 || assigned.prefixLength > 32) continue;
      const std::uint32_t mask = maskOf(assigned.prefixLength);
      if ((numeric(assigned.address) & mask) != (target & mask)) continue;
      const std::uint32_t host = target & ~mask;
      // A /31 or /32 has no network or broadcast address.
      if (assigned.prefixLength <= 30 && (host == 0 || host == ~mask))
        return cannotVerify(address, formatAddress(address) + " is the network or broadcast address of " +
                                         adapter.name + "'s subnet, which no host can hold");
      return std::nullopt;
    }
  }
  return cannotVerify(address, formatAddress(address) +
                                   " is outside the subnets of the PC's connected adapters: no link-layer check "
                                   "reaches it");
}

std::string formatLinkAddress(const unsigned char* bytes, std::size_t length) {
  std::string text;
  for (std::size_t i = 0; i < length; ++i) {
    char part[4];
    std::snprintf(part, sizeof part, i == 0 ? "%02x" : ":%02x", bytes[i]);
    text += part;
  }
  return text;
}

bool sameLinkAddress(std::string_view one, std::string_view other) {
  const auto digitsOf = [](std::string_view text) -> std::optional<std::string> {
    std::string digits;
    for (const char c : text) {
      if (std::isxdigit(static_cast<unsigned char>(c)))
        digits += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      else if (c != ':' && c != '-' && c != '.')
        return std::nullopt;
    }
    return digits;
  };
  const auto digits = digitsOf(one);
  return digits && !digits->empty() && digits == digitsOf(other);
}

AddressCheck::AddressCheck(HostNetwork& network, AddressProbe& probe, std::vector<Ipv4Bytes> addresses,
                           AddressProbe::Answered answered)
    : worker_([&network, &probe, addresses = distinct(std::move(addresses)),
               answered = std::move(answered)](const std::stop_token& stop) {
        checkAll(stop, network, probe, addresses, answered);
      }) {}

// The thread is asked to stop and joined; the probe returns promptly once
// asked, so this does not wait for the link.
AddressCheck::~AddressCheck() = default;

}  // namespace discovery
