#include "cli/gbk.h"

#include <iconv.h>

#include <cerrno>

namespace cli {

std::string systemGbkToUtf8(std::string_view gbk) {
  // A converter of its own for each text, so that a broken sequence in one
  // never affects the next.
  const iconv_t converter = iconv_open("UTF-8", "GBK");
  if (converter == reinterpret_cast<iconv_t>(-1)) return std::string(gbk.size(), '?');
  std::string utf8;
  char* in = const_cast<char*>(gbk.data());
  std::size_t inLeft = gbk.size();
  char buffer[256];
  while (inLeft > 0) {
    char* out = buffer;
    std::size_t outLeft = sizeof buffer;
    const std::size_t converted = iconv(converter, &in, &inLeft, &out, &outLeft);
    utf8.append(buffer, static_cast<std::size_t>(out - buffer));
    if (converted == static_cast<std::size_t>(-1) && errno != E2BIG) {
      utf8 += "\xEF\xBF\xBD";
      ++in;
      --inLeft;
      iconv(converter, nullptr, nullptr, nullptr, nullptr);
    }
  }
  iconv_close(converter);
  return utf8;
}

}  // namespace cli
