// Under CI (CI=true) nothing may skip: a test that cannot set up what it
// needs fails instead.
#pragma once

#include <cstdlib>
#include <string>

namespace testsupport {

inline bool underCi() {
  const char* ci = std::getenv("CI");
  return ci && std::string(ci) == "true";
}

}  // namespace testsupport
