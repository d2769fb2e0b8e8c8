#include "support/udp_counters.h"

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace testsupport {

std::uint64_t udpCounter(const char* name) {
  // Two "Udp:" lines: the field names, then their values.
  std::ifstream snmp("/proc/net/snmp");
  std::string line;
  std::vector<std::string> names;
  while (std::getline(snmp, line)) {
    if (line.rfind("Udp: ", 0) != 0) continue;
    std::istringstream fields(line.substr(5));
    if (names.empty()) {
      for (std::string field; fields >> field;) names.push_back(field);
      continue;
    }
    std::uint64_t value = 0;
    for (const std::string& field : names) {
      if (!(fields >> value)) break;
      if (field == name) return value;
    }
  }
  return 0;
}

}  // namespace testsupport
