// Windows: the adapters as the system lists them, whatever their addresses.
// Under Wine, in a private network namespace, the loopback is the only one.
#include "support/private_network.h"

#include <winsock2.h>
#include <iphlpapi.h>
#include <windows.h>

#include <vector>

namespace testsupport {

bool onlyLoopbackPresent(std::string& firstOther) {
  std::vector<ULONGLONG> buffer;  // 8-byte words: the entries hold pointers
  ULONG size = 16 * 1024;
  ULONG result = ERROR_BUFFER_OVERFLOW;
  for (int attempt = 0; attempt < 4 && result == ERROR_BUFFER_OVERFLOW; ++attempt) {
    buffer.resize(size / sizeof(ULONGLONG) + 1);
    size = static_cast<ULONG>(buffer.size() * sizeof(ULONGLONG));
    result = GetAdaptersAddresses(AF_UNSPEC, GAA_FLAG_INCLUDE_ALL_INTERFACES, nullptr,
                                  reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()), &size);
  }
  if (result == ERROR_NO_DATA) return true;
  if (result != NO_ERROR) {
    firstOther = "(the adapter list could not be read)";
    return false;
  }
  for (const auto* entry = reinterpret_cast<const IP_ADAPTER_ADDRESSES*>(buffer.data()); entry; entry = entry->Next) {
    if (entry->IfType == IF_TYPE_SOFTWARE_LOOPBACK) continue;
    char name[256] = {};
    WideCharToMultiByte(CP_UTF8, 0, entry->FriendlyName, -1, name, sizeof name - 1, nullptr, nullptr);
    firstOther = name;
    return false;
  }
  return true;
}

}  // namespace testsupport
