#include "cli/gbk.h"

#include <windows.h>

namespace cli {
namespace {

constexpr UINT kGbkCodePage = 936;

std::string utf8Of(const std::wstring& wide) {
  if (wide.empty()) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr,
                                       nullptr);
  std::string utf8(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), size, nullptr, nullptr);
  return utf8;
}

}  // namespace

std::string gbkToUtf8(std::string_view gbk) {
  if (gbk.empty()) return {};
  // Code page 936 turns each byte that begins no character into U+FFFD
  // (without MB_ERR_INVALID_CHARS), as the Linux converter is made to.
  const int length = static_cast<int>(gbk.size());
  const int size = MultiByteToWideChar(kGbkCodePage, 0, gbk.data(), length, nullptr, 0);
  if (size <= 0) return std::string(gbk.size(), '?');
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(kGbkCodePage, 0, gbk.data(), length, wide.data(), size);
  return utf8Of(wide);
}

}  // namespace cli
