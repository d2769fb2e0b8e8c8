#include "cli/gbk.h"

#include <algorithm>

namespace cli {

// A search lists thousands of MACs and addresses, nearly always ASCII: they
// need no converter at all.
std::string gbkToUtf8(std::string_view gbk) {
  if (std::all_of(gbk.begin(), gbk.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
    return std::string(gbk);
  return systemGbkToUtf8(gbk);
}

}  // namespace cli
