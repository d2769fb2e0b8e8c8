// Windows: interfaces are not moved; the command line refuses
// --move-interface here (options.cpp), so a mover never gets to try.
#include "tools/camera/interface_mover.h"

namespace camerasim {

bool InterfaceMover::available() { return false; }

bool InterfaceMover::move(const discovery::Ipv4Bytes&, const discovery::Ipv4Bytes&, const discovery::Ipv4Bytes&,
                          const discovery::Ipv4Bytes&) {
  error_ = "interfaces are moved on Linux only";
  return false;
}

std::optional<int> InterfaceMover::prefixLengthOf(const discovery::Ipv4Bytes&) const { return std::nullopt; }

}  // namespace camerasim
