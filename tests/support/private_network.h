// Guards for tests that put traffic on the network: they only ever run inside
// a private network namespace (see run-in-netns.sh).
#pragma once

#include <string>

namespace testsupport {

// True when every network interface present is a loopback one.
bool onlyLoopbackPresent(std::string& firstOther);

}  // namespace testsupport
