#include "discovery/platform/windows/adapter_list.h"

#include <windows.h>

namespace discovery {
namespace {

// Adapters come and go between two calls, so a buffer found too small is
// grown to the size asked for and the call made again, a few times at most.
constexpr int kListAttempts = 4;
constexpr ULONG kFirstListSize = 16 * 1024;

}  // namespace

std::optional<AdapterList> AdapterList::read(ULONG family, ULONG flags) {
  AdapterList list;
  ULONG size = kFirstListSize;
  ULONG result = ERROR_BUFFER_OVERFLOW;
  for (int attempt = 0; attempt < kListAttempts && result == ERROR_BUFFER_OVERFLOW; ++attempt) {
    list.buffer_.resize(size / sizeof(ULONGLONG) + 1);
    size = static_cast<ULONG>(list.buffer_.size() * sizeof(ULONGLONG));
    result = GetAdaptersAddresses(family, flags, nullptr, reinterpret_cast<IP_ADAPTER_ADDRESSES*>(list.buffer_.data()),
                                  &size);
  }
  if (result == ERROR_NO_DATA) list.buffer_.clear();
  else if (result != NO_ERROR) return std::nullopt;
  return list;
}

std::string friendlyName(const IP_ADAPTER_ADDRESSES& adapter) { return utf8Of(adapter.FriendlyName); }

std::string utf8Of(const wchar_t* text) {
  if (!text) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1) return {};
  std::string converted(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, converted.data(), size, nullptr, nullptr);
  converted.pop_back();  // the terminating NUL
  return converted;
}

}  // namespace discovery
