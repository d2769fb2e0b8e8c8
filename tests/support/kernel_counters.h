// The system's own counters for the network namespace a test runs in, and
// for this process's memory.
#pragma once

#include <cstdint>

namespace testsupport {

// The counter `name` of a statistics file (/proc/net/snmp, /proc/net/netstat)
// in the lines of `group` ("Udp", "TcpExt"); 0 when it is missing.
std::uint64_t kernelCounter(const char* file, const char* group, const char* name);

// InDatagrams counts datagrams as programs read them, OutDatagrams as they
// are sent (raw sockets' datagrams are not counted).
inline std::uint64_t udpCounter(const char* name) { return kernelCounter("/proc/net/snmp", "Udp", name); }

// The memory of this process that is resident, in bytes.
long residentBytes();

}  // namespace testsupport
