// POSIX: an advisory lock on a per-user file named after the application. The
// system drops the lock when the process ends, even when it is killed, so a
// stale lock never blocks the next start.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "app/single_instance.h"

namespace app {
namespace {

std::string lockDirectory() {
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime) return runtime;
  const std::string perUser = "/tmp/tovalen-" + std::to_string(getuid());
  ::mkdir(perUser.c_str(), 0700);
  return perUser;
}

}  // namespace

SingleInstanceLock::~SingleInstanceLock() {
  if (handle_ >= 0) ::close(handle_);
}

bool SingleInstanceLock::acquire(const std::string& applicationName) {
  const std::string path = lockDirectory() + "/" + applicationName + ".lock";
  handle_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (handle_ < 0) return true;
  if (::flock(handle_, LOCK_EX | LOCK_NB) == 0) return true;
  const bool heldElsewhere = errno == EWOULDBLOCK;
  ::close(handle_);
  handle_ = -1;
  return !heldElsewhere;
}

}  // namespace app
