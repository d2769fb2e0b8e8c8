#include "pages/whole_file.h"

#include <windows.h>

#include <algorithm>
#include <string>

namespace pages {
namespace {

std::wstring wide(const std::string& utf8) {
  const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring text(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text.data(), length);
  return text;
}

std::string why(const char* step) { return std::string(step) + ": error " + std::to_string(GetLastError()); }

}  // namespace

WholeFileResult writeWholeFile(const std::string& path, std::string_view contents) {
  WholeFileResult result;
  const std::wstring target = wide(path);
  result.replacedNothing = GetFileAttributesW(target.c_str()) == INVALID_FILE_ATTRIBUTES;
  const std::wstring aside = target + L".tovalen-" + std::to_wstring(GetCurrentProcessId()) + L".tmp";
  const HANDLE file =
      CreateFileW(aside.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    result.error = why("create");
    return result;
  }
  bool done = true;
  for (std::string_view left = contents; done && !left.empty();) {
    DWORD written = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(left.size(), 1 << 20));
    done = WriteFile(file, left.data(), chunk, &written, nullptr) && written > 0;
    if (!done) result.error = why("write");
    left.remove_prefix(written);
  }
  done = done && (FlushFileBuffers(file) || (result.error = why("flush"), false));
  CloseHandle(file);
  done = done && (MoveFileExW(aside.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) ||
                  (result.error = why("replace"), false));
  if (!done) DeleteFileW(aside.c_str());
  result.ok = done;
  return result;
}

std::optional<std::string> readFileStart(const std::string& path, std::size_t maxBytes) {
  const HANDLE file = CreateFileW(wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string bytes(maxBytes, '\0');
  std::size_t read = 0;
  bool ok = true;
  while (ok && read < maxBytes) {
    DWORD got = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(maxBytes - read, 1 << 20));
    ok = ReadFile(file, bytes.data() + read, chunk, &got, nullptr);
    if (ok && got == 0) break;
    read += got;
  }
  CloseHandle(file);
  if (!ok) return std::nullopt;
  bytes.resize(read);
  return bytes;
}

}  // namespace pages
