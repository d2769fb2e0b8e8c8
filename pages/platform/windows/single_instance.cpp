// Windows: a mutex named after the application in the user's session. The
// system closes it with the process, however the process ends.
#include <windows.h>

#include <string>

#include "pages/single_instance.h"

namespace pages {

LockPlaces lockPlacesOfThisSession() { return {}; }

SingleInstanceLock::~SingleInstanceLock() {
  if (mutex_) CloseHandle(mutex_);
}

bool SingleInstanceLock::startUnguarded(std::string reason) {
  if (mutex_) CloseHandle(mutex_);
  mutex_ = nullptr;
  unguardedReason_ = std::move(reason);
  return true;
}

bool SingleInstanceLock::acquire(const std::string& applicationName) {
  const int length = MultiByteToWideChar(CP_UTF8, 0, applicationName.data(), static_cast<int>(applicationName.size()),
                                         nullptr, 0);
  std::wstring name(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, applicationName.data(), static_cast<int>(applicationName.size()), name.data(),
                      length);
  mutex_ = CreateMutexW(nullptr, FALSE, name.c_str());
  const DWORD error = GetLastError();
  if (!mutex_) return startUnguarded("CreateMutexW failed with error " + std::to_string(error));
  if (error != ERROR_ALREADY_EXISTS) return true;
  CloseHandle(mutex_);
  mutex_ = nullptr;
  return false;
}

}  // namespace pages
