// Moves one of this host's network interfaces to a camera's new address and
// default gateway, so that a simulated camera that accepts a set-IP request
// really answers at its new address afterwards. Linux: runs the system's `ip`
// command. Elsewhere nothing is moved and the command line refuses the option.
#pragma once

#include <optional>
#include <string>

#include "discovery/protocol.h"

namespace camerasim {

class InterfaceMover {
 public:
  explicit InterfaceMover(std::string interfaceName) : interface_(std::move(interfaceName)) {}

  // Whether this system's interfaces can be moved at all.
  static bool available();

  // Puts `newAddress` on the interface with the prefix length `oldAddress`
  // has there (/24 when it is not there), makes `newGateway` the default
  // route and removes `oldAddress`, then checks that the interface shows
  // exactly that. On a failed step or a different end state undoes what it
  // had done, keeps the reason in error() and returns false.
  bool move(const discovery::Ipv4Bytes& oldAddress, const discovery::Ipv4Bytes& oldGateway,
            const discovery::Ipv4Bytes& newAddress, const discovery::Ipv4Bytes& newGateway);

  // The prefix length `address` has on the interface, if it is there.
  std::optional<int> prefixLengthOf(const discovery::Ipv4Bytes& address) const;

  const std::string& error() const { return error_; }

 private:
  std::string interface_;
  std::string error_;
};

}  // namespace camerasim
