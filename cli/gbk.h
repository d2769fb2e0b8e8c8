// The cameras' texts are GBK; the terminal shows UTF-8. Without a toolkit
// the system's converter does it (one file per platform), for the texts that
// need it: an ASCII text is the same in both.
#pragma once

#include <string>
#include <string_view>

namespace cli {

// U+FFFD for each byte that begins no GBK character.
std::string gbkToUtf8(std::string_view gbk);
// The system's converter, for a text with bytes past ASCII.
std::string systemGbkToUtf8(std::string_view gbk);

}  // namespace cli
