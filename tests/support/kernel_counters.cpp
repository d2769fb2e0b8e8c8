#include "support/kernel_counters.h"

#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace testsupport {

std::uint64_t kernelCounter(const char* file, const char* group, const char* name) {
  // Two lines start with "<group>: ": the field names, then their values.
  std::ifstream table(file);
  const std::string prefix = std::string(group) + ": ";
  std::string line;
  std::vector<std::string> names;
  while (std::getline(table, line)) {
    if (line.rfind(prefix, 0) != 0) continue;
    std::istringstream fields(line.substr(prefix.size()));
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

long residentBytes() {
  std::ifstream statm("/proc/self/statm");
  long size = 0, resident = 0;
  statm >> size >> resident;
  return resident * sysconf(_SC_PAGESIZE);
}

}  // namespace testsupport
