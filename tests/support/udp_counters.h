// The system's UDP counters of the network namespace the test runs in.
#pragma once

#include <cstdint>

namespace testsupport {

// The counter `name` of the "Udp:" lines of /proc/net/snmp: InDatagrams
// counts datagrams as programs read them, OutDatagrams as they are sent
// (raw sockets' datagrams are not counted). 0 when it is missing.
std::uint64_t udpCounter(const char* name);

}  // namespace testsupport
