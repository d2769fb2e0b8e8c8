// Lets one copy of the program run per user and application name. The lock is
// the system's: it goes with the process, however the process ends.
#pragma once

#include <string>

namespace app {

class SingleInstanceLock {
 public:
  SingleInstanceLock() = default;
  ~SingleInstanceLock();
  SingleInstanceLock(const SingleInstanceLock&) = delete;
  SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;

  // False only when another running copy holds the lock for this name. Any
  // other failure counts as being the first copy.
  bool acquire(const std::string& applicationName);

 private:
  int handle_ = -1;
};

}  // namespace app
