// Texts between the program's encodings and the UTF-16 of the W functions:
// UTF-8 (the texts of res) and code page 936, GBK (the cameras' texts
// and the calculator's inputs).
#pragma once

#include <string>
#include <string_view>

namespace win32 {

std::wstring fromUtf8(std::string_view text);
std::string toUtf8(std::wstring_view text);

// Bytes that are no GBK come out as the system's replacement character;
// the bytes themselves are kept wherever they are needed again.
std::wstring fromGbk(std::string_view bytes);
// Characters GBK lacks become '?'.
std::string toGbk(std::wstring_view text);

}  // namespace win32
