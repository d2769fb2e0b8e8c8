// The terminal program's GBK decoding: the cameras' texts as the window
// shows them, and a byte that begins no character as U+FFFD, the rest kept.
#include "cli/gbk.h"

#include <gtest/gtest.h>

namespace cli {
namespace {

TEST(GbkTest, DecodesCharactersAndReplacesEachByteThatBeginsNone) {
  const struct {
    std::string gbk;
    std::string utf8;
  } cases[] = {
      {"AA:BB 10.0.0.5", "AA:BB 10.0.0.5"},
      {"\xB4\xF3\xC3\xC5", "大门"},
      {"A\xFF" "B", "A\xEF\xBF\xBD" "B"},
      {"\xB4\xF3\xC3", "大\xEF\xBF\xBD"},
      {"\xFF\xFF\xB4\xF3", "\xEF\xBF\xBD\xEF\xBF\xBD大"},
      {std::string(300, 'x') + "\xB4\xF3", std::string(300, 'x') + "大"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(gbkToUtf8(c.gbk), c.utf8) << c.utf8;
}

}  // namespace
}  // namespace cli
