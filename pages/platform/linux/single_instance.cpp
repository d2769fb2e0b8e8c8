// POSIX: an advisory lock on a per-user file named after the application. The
// system drops the lock when the process ends, even when it is killed, so a
// stale lock never blocks the next start.
//
// The file lives in a directory only this user can write, checked on the open
// handle rather than by name: in a shared directory such as /tmp, another
// user could otherwise plant a symbolic link that makes us create files in
// our own folders, or a file of theirs whose lock they hold so that we never
// start.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "pages/single_instance.h"

namespace pages {
namespace {

constexpr mode_t kPrivateMode = 0700;

std::string systemError(const std::string& path) { return path + ": " + std::strerror(errno); }

// Opens `path` when it is a directory, not a symbolic link, owned by this
// user with mode 0700; with `makePrivate`, a directory of the user's own gets
// that mode. -1 otherwise, with the reason in `why`.
int openPrivateDirectory(const std::string& path, bool makePrivate, std::string& why) {
  const int directory = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (directory < 0) {
    why = systemError(path);
    return -1;
  }
  struct stat status {};
  if (::fstat(directory, &status) != 0) {
    why = systemError(path);
  } else if (status.st_uid != ::geteuid()) {
    why = path + " belongs to another user";
  } else if ((status.st_mode & 0777) == kPrivateMode || (makePrivate && ::fchmod(directory, kPrivateMode) == 0)) {
    return directory;
  } else {
    char mode[8];
    std::snprintf(mode, sizeof mode, "%03o", static_cast<unsigned>(status.st_mode & 0777));
    why = path + " has mode " + mode + ", not 700";
  }
  ::close(directory);
  return -1;
}

// The runtime directory when it is safe, else the user's own directory in the
// shared one, made when missing. -1 when neither is safe.
int openLockDirectory(const LockPlaces& places, std::string& path, std::string& why) {
  if (places.runtimeDirectory.starts_with('/')) {
    path = places.runtimeDirectory;
    if (const int directory = openPrivateDirectory(path, false, why); directory >= 0) return directory;
  }
  path = places.sharedDirectory + "/tovalen-" + std::to_string(::geteuid());
  ::mkdir(path.c_str(), kPrivateMode);
  return openPrivateDirectory(path, true, why);
}

}  // namespace

LockPlaces lockPlacesOfThisSession() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  return {runtime ? runtime : "", "/tmp"};
}

SingleInstanceLock::~SingleInstanceLock() {
  if (handle_ >= 0) ::close(handle_);
}

bool SingleInstanceLock::startUnguarded(std::string reason) {
  if (handle_ >= 0) ::close(handle_);
  handle_ = -1;
  unguardedReason_ = std::move(reason);
  return true;
}

bool SingleInstanceLock::acquire(const std::string& applicationName) {
  std::string directoryPath;
  std::string why;
  const int directory = openLockDirectory(places_, directoryPath, why);
  if (directory < 0) return startUnguarded("no private directory for the lock: " + why);
  const std::string fileName = applicationName + ".lock";
  const std::string path = directoryPath + "/" + fileName;
  // Read-only and non-blocking: the file is never written, and a FIFO in its
  // place cannot stall the start.
  handle_ = ::openat(directory, fileName.c_str(), O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
  const std::string openFailure = handle_ < 0 ? systemError(path) : "";
  ::close(directory);
  if (handle_ < 0) return startUnguarded(openFailure);
  struct stat status {};
  if (::fstat(handle_, &status) != 0 || !S_ISREG(status.st_mode) || status.st_uid != ::geteuid())
    return startUnguarded(path + " is not a file of this user's");
  if (::flock(handle_, LOCK_EX | LOCK_NB) == 0) return true;
  if (errno == EWOULDBLOCK) {
    ::close(handle_);
    handle_ = -1;
    return false;
  }
  return startUnguarded(systemError(path));
}

}  // namespace pages
