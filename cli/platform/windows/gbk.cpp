#include "cli/gbk.h"

#include <windows.h>

namespace cli {
namespace {

constexpr UINT kGbkCodePage = 936;
constexpr wchar_t kReplacement = 0xFFFD;

std::string utf8Of(const std::wstring& wide) {
  if (wide.empty()) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr,
                                       nullptr);
  std::string utf8(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), size, nullptr, nullptr);
  return utf8;
}

bool isLeadByte(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }
bool isTrailByte(unsigned char byte) { return byte >= 0x40 && byte <= 0xFE && byte != 0x7F; }

}  // namespace

// Character by character: the code page alone turns a byte that begins no
// character into a private-use character or '?', not U+FFFD as the Linux
// converter is made to.
std::string systemGbkToUtf8(std::string_view gbk) {
  std::wstring wide;
  for (std::size_t at = 0; at < gbk.size();) {
    const auto byte = static_cast<unsigned char>(gbk[at]);
    if (byte < 0x80) {
      wide += static_cast<wchar_t>(byte);
      ++at;
      continue;
    }
    wchar_t character = 0;
    if (at + 1 < gbk.size() && isLeadByte(byte) && isTrailByte(static_cast<unsigned char>(gbk[at + 1])) &&
        MultiByteToWideChar(kGbkCodePage, MB_ERR_INVALID_CHARS, gbk.data() + at, 2, &character, 1) == 1) {
      wide += character;
      at += 2;
    } else {
      wide += kReplacement;
      ++at;
    }
  }
  return utf8Of(wide);
}

}  // namespace cli
