#include "win32/text.h"

#include <windows.h>

namespace win32 {
namespace {

constexpr UINT kGbk = 936;

std::wstring toWide(UINT codePage, std::string_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int wide = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
  std::wstring out(static_cast<std::size_t>(wide), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), size, out.data(), wide);
  return out;
}

std::string toNarrow(UINT codePage, std::wstring_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int narrow = WideCharToMultiByte(codePage, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(narrow), '\0');
  WideCharToMultiByte(codePage, 0, text.data(), size, out.data(), narrow, nullptr, nullptr);
  return out;
}

}  // namespace

std::wstring fromUtf8(std::string_view text) { return toWide(CP_UTF8, text); }
std::string toUtf8(std::wstring_view text) { return toNarrow(CP_UTF8, text); }
std::wstring fromGbk(std::string_view bytes) { return toWide(kGbk, bytes); }
std::string toGbk(std::wstring_view text) { return toNarrow(kGbk, text); }

}  // namespace win32
