// Lets one copy of the program run per user and application name. The lock is
// the system's: it goes with the process, however the process ends. POSIX: an
// advisory lock on a file in a directory of the user's own; Windows: a named
// mutex in the user's session.
#pragma once

#include <string>
#include <utility>

namespace pages {

// Where a user's lock may go (POSIX; Windows needs no place). Only a directory that the user alone can write
// is used, so another user can neither redirect the lock nor hold it.
struct LockPlaces {
  // The session's runtime directory ($XDG_RUNTIME_DIR), used when it is an
  // absolute path to a directory of the user's own with mode 0700.
  std::string runtimeDirectory;
  // Otherwise the lock goes in <sharedDirectory>/tovalen-<uid>, a directory
  // the user owns with mode 0700; when another user has taken that name,
  // there is no safe place.
  std::string sharedDirectory;
};

// $XDG_RUNTIME_DIR and /tmp.
LockPlaces lockPlacesOfThisSession();

class SingleInstanceLock {
 public:
  explicit SingleInstanceLock(LockPlaces places = lockPlacesOfThisSession()) : places_(std::move(places)) {}
  ~SingleInstanceLock();
  SingleInstanceLock(const SingleInstanceLock&) = delete;
  SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;

  // Called once. False only when another running copy holds the lock for
  // this name. Any other outcome counts as being the first copy, with or
  // without a lock.
  bool acquire(const std::string& applicationName);
  // After acquire() returned true: why no lock is held, or empty if one is.
  const std::string& unguardedReason() const { return unguardedReason_; }

 private:
  bool startUnguarded(std::string reason);

  LockPlaces places_;
#ifdef _WIN32
  void* mutex_ = nullptr;
#else
  int handle_ = -1;
#endif
  std::string unguardedReason_;
};

}  // namespace pages
