// Windows Firewall's word on answers to this program: its inbound rules for
// the program or the port, read as a standard user may (INetFwPolicy2).
// Other firewalls are not asked.
#pragma once

#include <cstdint>
#include <string_view>

#include "discovery/network_facts.h"

namespace discovery {

FirewallVerdict firewallVerdictForThisProgram(std::uint16_t port);

// Whether a rule's local ports ("5414", "5000-6000,8080", "*", empty for
// any) take in `port`; a list that does not read takes in nothing.
bool portsTakeIn(std::wstring_view ports, std::uint16_t port);

}  // namespace discovery
