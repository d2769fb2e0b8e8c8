// What the terminal program prints for the cameras heard: every format keeps
// the network's texts from reaching the terminal raw; the table is aligned,
// the CSV is the export's and reads back as a site plan, the JSON parses.
#include "pages/camera_listing.h"

#include <gmock/gmock.h>

#include <map>
#include <optional>
#include <vector>

#include "pages/site_plan.h"
#include "pages/terminal_text.h"
#include "pages/test_gbk.h"

namespace pages {
namespace {

using testing::ElementsAre;
using testing::HasSubstr;
using testing::Not;

const ListingHeaders kHeaders{"MAC", "IP", "Gateway", "Adapter"};

TEST(TerminalTextTest, EscapesControlsBackslashesAndBytesThatAreNotUtf8) {
  const struct {
    std::string text;
    std::string safe;
  } cases[] = {
      {"AA:BB:CC 10.0.0.5", "AA:BB:CC 10.0.0.5"},
      {"大门摄像机", "大门摄像机"},
      {"\x1B]0;owned\x07", "\\x1B]0;owned\\x07"},
      {"a\r\nb\tc\x7F", "a\\x0D\\x0Ab\\x09c\\x7F"},
      {"\xC2\x9B" "2J", "\\xC2\\x9B2J"},                 // C1 CSI
      {"abc\xE2\x80\xAE" "cba", "abc\\xE2\\x80\\xAEcba"},  // right-to-left override
      {"C:\\x1B", "C:\\\\x1B"},
      {"\xFF\xFE", "\\xFF\\xFE"},
      {"\xC0\xAF", "\\xC0\\xAF"},          // overlong '/'
      {"\xED\xA0\x80", "\\xED\\xA0\\x80"},  // a surrogate
      {"\xF4\x90\x80\x80", "\\xF4\\x90\\x80\\x80"},  // past U+10FFFF
      {"x\xE5\xA4", "x\\xE5\\xA4"},         // cut short
      {std::string("\0", 1), "\\x00"},
  };
  for (const auto& c : cases) EXPECT_EQ(terminalSafe(c.text), c.safe) << c.safe;
}

TEST(CameraListingTest, TheTableAlignsItsColumnsCountingWideCharactersTwice) {
  const std::vector<ListedCamera> cameras{{"\xB4\xF3\xC3\xC5", "10.0.0.5", "10.0.0.1", "eth0"},
                                          {"AA:BB:CC:DD:EE:FF", "192.168.100.200", "192.168.100.1", "enp3s0"}};
  EXPECT_EQ(cameraTable(cameras, {"摄像机MAC", "IP地址", "网关", "网卡"}, test::decodeTestGbk),
            "摄像机MAC          IP地址           网关           网卡\n"
            "大门               10.0.0.5         10.0.0.1       eth0\n"
            "AA:BB:CC:DD:EE:FF  192.168.100.200  192.168.100.1  enp3s0\n");
  EXPECT_EQ(cameraTable({}, kHeaders, test::decodeTestGbk), "MAC  IP  Gateway  Adapter\n");
}

TEST(CameraListingTest, NoFormatPrintsAControlOrAByteThatIsNotUtf8) {
  const std::vector<ListedCamera> hostile{{"\x1B[2J\x9B", "10.0.0.5\r", "\x1B]0;x\x07", "eth\x1B" "0"}};
  const auto decodeRaw = [](std::string_view bytes) { return std::string(bytes); };
  for (const std::string& printed : {cameraTable(hostile, kHeaders, decodeRaw), cameraCsv(hostile, decodeRaw),
                                     cameraJson(hostile, decodeRaw)}) {
    EXPECT_THAT(printed, Not(HasSubstr("\x1B"))) << printed;
    EXPECT_THAT(printed, Not(HasSubstr("\x07"))) << printed;
    EXPECT_TRUE(isUtf8(printed)) << printed;
  }
  EXPECT_THAT(cameraTable(hostile, kHeaders, decodeRaw), HasSubstr("\\x1B[2J\\x9B"));
}

TEST(CameraListingTest, TheCsvIsTheExportsFormat) {
  const std::vector<ListedCamera> cameras{{"=cmd|' /C calc'!A0", "10.0.0.5", "10.0.0.1", "eth0"},
                                          {"\xB4\xF3\xC3\xC5,\"1\"", "10.0.0.6", "10.0.0.1", "eth1"}};
  EXPECT_EQ(cameraCsv(cameras, test::decodeTestGbk),
            "\xEF\xBB\xBF摄像机MAC,IP地址,网关)\r\n"
            "'=cmd|' /C calc'!A0,10.0.0.5,10.0.0.1\r\n"
            "\"大门,\"\"1\"\"\",10.0.0.6,10.0.0.1\r\n");
  EXPECT_EQ(cameraCsv({}, test::decodeTestGbk), "\xEF\xBB\xBF摄像机MAC,IP地址,网关)\r\n");
}

TEST(CameraListingTest, TheCsvReadsBackAsASitePlan) {
  const std::vector<ListedCamera> cameras{{"-01", "10.0.0.5", "10.0.0.1", "eth0"},
                                          {"\xB4\xF3\xC3\xC5 \"a,b\"", "10.0.0.6", "10.0.0.1", "eth0"}};
  const SitePlan plan = readSitePlan(cameraCsv(cameras, test::decodeTestGbk), test::decodeTestGbk);
  ASSERT_TRUE(plan.sendable());
  ASSERT_EQ(plan.rows.size(), 2u);
  EXPECT_EQ(plan.rows[0].mac, "-01");
  EXPECT_EQ(plan.rows[1].mac, "大门 \"a,b\"");
  EXPECT_EQ(plan.rows[1].address, 0x0A000006u);
}

// Just enough of a JSON reader to hold the output to the grammar (RFC 8259):
// an array of objects whose members are strings. Nothing when it does not
// parse; \u escapes are decoded to UTF-8 (no surrogate pairs are written).
class JsonReader {
 public:
  explicit JsonReader(std::string_view text) : text_(text) {}

  std::optional<std::vector<std::map<std::string, std::string>>> arrayOfObjects() {
    std::vector<std::map<std::string, std::string>> objects;
    if (!take('[')) return std::nullopt;
    if (take(']')) return end(objects);
    do {
      std::map<std::string, std::string> object;
      if (!take('{')) return std::nullopt;
      do {
        auto name = string();
        if (!name || !take(':')) return std::nullopt;
        auto value = string();
        if (!value) return std::nullopt;
        object[*name] = *value;
      } while (take(','));
      if (!take('}')) return std::nullopt;
      objects.push_back(object);
    } while (take(','));
    if (!take(']')) return std::nullopt;
    return end(objects);
  }

 private:
  std::string_view text_;

  void skipSpace() {
    while (!text_.empty() && std::string_view(" \t\r\n").find(text_.front()) != std::string_view::npos) {
      text_.remove_prefix(1);
    }
  }
  bool take(char c) {
    skipSpace();
    if (text_.empty() || text_.front() != c) return false;
    text_.remove_prefix(1);
    return true;
  }
  template <typename T>
  std::optional<T> end(T value) {
    skipSpace();
    return text_.empty() ? std::optional<T>(std::move(value)) : std::nullopt;
  }
  std::optional<std::string> string() {
    if (!take('"')) return std::nullopt;
    std::string value;
    while (!text_.empty() && text_.front() != '"') {
      const auto c = static_cast<unsigned char>(text_.front());
      if (c < 0x20) return std::nullopt;
      text_.remove_prefix(1);
      if (c != '\\') {
        value += static_cast<char>(c);
      } else if (!escape(value)) {
        return std::nullopt;
      }
    }
    if (!take('"')) return std::nullopt;
    return value;
  }
  bool escape(std::string& value) {
    if (text_.empty()) return false;
    const char c = text_.front();
    text_.remove_prefix(1);
    const std::map<char, char> kSingle{{'"', '"'}, {'\\', '\\'}, {'/', '/'}, {'b', '\b'},
                                       {'f', '\f'}, {'n', '\n'}, {'r', '\r'}, {'t', '\t'}};
    if (kSingle.count(c)) {
      value += kSingle.at(c);
      return true;
    }
    if (c != 'u' || text_.size() < 4) return false;
    const std::string hex(text_.substr(0, 4));
    if (hex.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) return false;
    text_.remove_prefix(4);
    const auto codePoint = static_cast<char32_t>(std::stoul(hex, nullptr, 16));
    if (codePoint < 0x80) {
      value += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
      value += static_cast<char>(0xC0 | codePoint >> 6);
      value += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
      value += static_cast<char>(0xE0 | codePoint >> 12);
      value += static_cast<char>(0x80 | (codePoint >> 6 & 0x3F));
      value += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
    return true;
  }
};

TEST(CameraListingTest, TheJsonParsesAndHoldsTheDecodedTexts) {
  const std::vector<ListedCamera> cameras{
      {"\xB4\xF3\xC3\xC5 \"1\" \\", "10.0.0.5", "10.0.0.1", "eth0"},
      {"\x1B[31m", "10.0.0.6\r\n", "", "wl\xC2\x9Bp\xFF"},
  };
  const std::string json = cameraJson(cameras, test::decodeTestGbk);
  const auto objects = JsonReader(json).arrayOfObjects();
  ASSERT_TRUE(objects) << json;
  using Object = std::map<std::string, std::string>;
  EXPECT_THAT(*objects,
              ElementsAre(Object{{"mac", "大门 \"1\" \\"}, {"ip", "10.0.0.5"}, {"gateway", "10.0.0.1"}, {"adapter", "eth0"}},
                          Object{{"mac", "\x1B[31m"},
                                 {"ip", "10.0.0.6\r\n"},
                                 {"gateway", ""},
                                 {"adapter", "wl\xC2\x9Bp\xEF\xBF\xBD"}}));
  EXPECT_THAT(json, HasSubstr("\"wl\\u009Bp\\uFFFD\""));
  EXPECT_THAT(JsonReader(cameraJson({}, test::decodeTestGbk)).arrayOfObjects(), testing::Optional(testing::IsEmpty()));
}

}  // namespace
}  // namespace pages
