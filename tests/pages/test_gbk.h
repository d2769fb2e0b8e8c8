// A GBK decoder for the tests, in place of the front-end's: ASCII as it is,
// the few double-byte characters the tests use, and U+FFFD for anything else.
#pragma once

#include <map>
#include <string>
#include <string_view>

namespace pages::test {

inline std::string decodeTestGbk(std::string_view gbk) {
  static const std::map<std::string, std::string> kCharacters{
      {"\xC9\xE3", "摄"}, {"\xCF\xF1", "像"}, {"\xBB\xFA", "机"}, {"\xB5\xD8", "地"}, {"\xD6\xB7", "址"},
      {"\xCD\xF8", "网"}, {"\xB9\xD8", "关"}, {"\xB4\xF3", "大"}, {"\xC3\xC5", "门"},
  };
  std::string utf8;
  for (std::size_t at = 0; at < gbk.size();) {
    if (static_cast<unsigned char>(gbk[at]) < 0x80) {
      utf8 += gbk[at++];
      continue;
    }
    const auto found = kCharacters.find(std::string(gbk.substr(at, 2)));
    utf8 += found != kCharacters.end() ? found->second : "\xEF\xBF\xBD";
    at += found != kCharacters.end() ? 2 : 1;
  }
  return utf8;
}

}  // namespace pages::test
