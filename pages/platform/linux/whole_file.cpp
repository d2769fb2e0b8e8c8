#include "pages/whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace pages {
namespace {

std::string why(const char* step) { return std::string(step) + ": " + std::strerror(errno); }

bool writeAll(int file, std::string_view contents) {
  while (!contents.empty()) {
    const ssize_t written = ::write(file, contents.data(), contents.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    contents.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

}  // namespace

WholeFileResult writeWholeFile(const std::string& path, std::string_view contents) {
  WholeFileResult result;
  struct stat old {};
  const bool existed = ::stat(path.c_str(), &old) == 0;
  result.replacedNothing = !existed;
  std::vector<char> aside(path.begin(), path.end());
  const std::string suffix = ".XXXXXX";
  aside.insert(aside.end(), suffix.begin(), suffix.end());
  aside.push_back('\0');
  const int file = ::mkstemp(aside.data());
  if (file < 0) {
    result.error = why("create");
    return result;
  }
  // The new file gets the old one's permissions, or those a new file gets.
  mode_t mode = old.st_mode & 07777;
  if (!existed) {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  bool done = ::fchmod(file, mode) == 0 || (result.error = why("chmod"), false);
  done = done && (writeAll(file, contents) || (result.error = why("write"), false));
  done = done && (::fsync(file) == 0 || (result.error = why("fsync"), false));
  done = (::close(file) == 0 || (result.error = why("close"), false)) && done;
  done = done && (::rename(aside.data(), path.c_str()) == 0 || (result.error = why("rename"), false));
  if (!done) ::unlink(aside.data());
  result.ok = done;
  return result;
}

std::optional<std::string> readFileStart(const std::string& path, std::size_t maxBytes) {
  const int file = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (file < 0) return std::nullopt;
  std::string bytes(maxBytes, '\0');
  std::size_t read = 0;
  while (read < maxBytes) {
    const ssize_t got = ::read(file, bytes.data() + read, maxBytes - read);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      ::close(file);
      return std::nullopt;
    }
    if (got == 0) break;
    read += static_cast<std::size_t>(got);
  }
  ::close(file);
  bytes.resize(read);
  return bytes;
}

}  // namespace pages
