// GetAdaptersAddresses' list of the machine's adapters, for the adapter list
// and for the tests' guard against running on a real network.
#pragma once

#include <winsock2.h>
#include <iphlpapi.h>

#include <optional>
#include <string>
#include <vector>

namespace discovery {

class AdapterList {
 public:
  // The list for an address family (AF_INET, AF_UNSPEC); nothing when the
  // system could not be asked.
  static std::optional<AdapterList> read(ULONG family, ULONG flags);

  // The first entry, each with its Next; null when there is none.
  const IP_ADAPTER_ADDRESSES* first() const {
    return buffer_.empty() ? nullptr : reinterpret_cast<const IP_ADAPTER_ADDRESSES*>(buffer_.data());
  }

 private:
  std::vector<ULONGLONG> buffer_;  // 8-byte words: the entries hold pointers
};

// The name the user sees ("Ethernet", "Wi-Fi"), in UTF-8.
std::string friendlyName(const IP_ADAPTER_ADDRESSES& adapter);
// A system text in UTF-8; empty for none.
std::string utf8Of(const wchar_t* text);

}  // namespace discovery
