// Reading a site plan: the CSV dialects spreadsheets write, both encodings,
// the headers in either language, the list's own export, and every problem
// the preview must name before anything is sent.
#include "pages/site_plan.h"

#include <gmock/gmock.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "discovery/protocol.h"
#include "pages/csv_field.h"
#include "pages/test_gbk.h"

namespace pages {

void PrintTo(const PlanProblem& problem, std::ostream* out) {
  *out << "{kind " << static_cast<int>(problem.kind) << ", line " << problem.line << ", " << problem.text << "}";
}
void PrintTo(const SitePlanRow& row, std::ostream* out) {
  *out << "{line " << row.line << ", " << row.mac << ", " << row.address << ", " << row.gateway << ", "
       << testing::PrintToString(row.problems) << "}";
}

namespace {

using testing::ElementsAre;
using testing::Field;
using testing::IsEmpty;

SitePlan read(std::string_view bytes) { return readSitePlan(bytes, test::decodeTestGbk); }

std::uint32_t address(const char* dotted) { return discovery::toFieldsValue(*discovery::parseAddress(dotted)); }

// A row read without problems.
auto rowIs(std::size_t line, const std::string& mac, const char* ip, const char* gateway) {
  return AllOf(Field(&SitePlanRow::line, line), Field(&SitePlanRow::mac, mac),
               Field(&SitePlanRow::address, address(ip)), Field(&SitePlanRow::gateway, address(gateway)),
               Field(&SitePlanRow::problems, IsEmpty()));
}

auto problemIs(PlanProblemKind kind, std::size_t line) {
  return AllOf(Field(&PlanProblem::kind, kind), Field(&PlanProblem::line, line),
               Field(&PlanProblem::text, testing::Not(IsEmpty())));
}

TEST(SitePlanTest, ReadsCommaSemicolonAndTabSeparatedFilesWithEitherLineEnd) {
  for (const char* text : {"MAC,IP,Gateway\r\nAA-01,10.0.0.5,10.0.0.1\r\nAA-02,10.0.0.6,10.0.0.1\r\n",
                           "MAC;IP;Gateway\nAA-01;10.0.0.5;10.0.0.1\nAA-02;10.0.0.6;10.0.0.1",
                           "MAC\tIP\tGateway\r\nAA-01\t10.0.0.5\t10.0.0.1\nAA-02\t10.0.0.6\t10.0.0.1\n"}) {
    const SitePlan plan = read(text);
    EXPECT_THAT(plan.rows, ElementsAre(rowIs(2, "AA-01", "10.0.0.5", "10.0.0.1"),
                                       rowIs(3, "AA-02", "10.0.0.6", "10.0.0.1")))
        << text;
    EXPECT_THAT(plan.problems, IsEmpty());
    EXPECT_TRUE(plan.sendable());
  }
}

// Only the header line tells the separator: commas in a later cell of a
// semicolon-separated file are text.
TEST(SitePlanTest, TakesTheSeparatorFromTheHeaderLineAlone) {
  EXPECT_THAT(read("\r\nMAC;IP;Gateway\r\nA,B,C,D,E,F;10.0.0.5;10.0.0.1\r\n").rows,
              ElementsAre(rowIs(3, "A,B,C,D,E,F", "10.0.0.5", "10.0.0.1")));
}

TEST(SitePlanTest, FindsItsColumnsByHeaderInEitherLanguageAndAnyOrderIgnoringTheRest) {
  EXPECT_THAT(read(" gateway ;名称; Ip Address;mac\n10.0.0.1;大门;10.0.0.5;AA-01\n").rows,
              ElementsAre(rowIs(2, "AA-01", "10.0.0.5", "10.0.0.1")));
  EXPECT_THAT(read("网关,摄像机MAC,address,备注\n10.0.0.1,aa-01,10.0.0.5,\n").rows,
              ElementsAre(rowIs(2, "aa-01", "10.0.0.5", "10.0.0.1")));
  // The export's own headers, the gateway's with its stray parenthesis.
  EXPECT_THAT(read("IP地址,网关),摄像机MAC\n10.0.0.5,10.0.0.1,AA-01\n").rows,
              ElementsAre(rowIs(2, "AA-01", "10.0.0.5", "10.0.0.1")));
}

TEST(SitePlanTest, ReadsUtf8WithOrWithoutByteOrderMarkAndGbk) {
  const std::string utf8 = "摄像机MAC,IP地址,网关\r\n大门,10.0.0.5,10.0.0.1\r\n";
  const std::string gbk = "\xC9\xE3\xCF\xF1\xBB\xFA" "MAC,IP\xB5\xD8\xD6\xB7,\xCD\xF8\xB9\xD8\r\n"
                          "\xB4\xF3\xC3\xC5,10.0.0.5,10.0.0.1\r\n";
  for (const std::string& bytes : {utf8, "\xEF\xBB\xBF" + utf8, gbk}) {
    EXPECT_THAT(read(bytes).rows, ElementsAre(rowIs(2, "大门", "10.0.0.5", "10.0.0.1")));
  }
}

TEST(SitePlanTest, QuotedFieldsKeepQuotesSeparatorsAndLineBreaks) {
  const SitePlan plan = read("MAC,IP,Gateway\n"
                             "\"a\"\"b\",10.0.0.5,10.0.0.1\n"
                             "\"c,d\",\"10.0.0.6\",10.0.0.1\n"
                             "\"e\r\nf\",10.0.0.7,10.0.0.1\n"
                             "g,10.0.0.8,10.0.0.1\n");
  EXPECT_THAT(plan.rows, ElementsAre(rowIs(2, "a\"b", "10.0.0.5", "10.0.0.1"), rowIs(3, "c,d", "10.0.0.6", "10.0.0.1"),
                                     rowIs(4, "e\r\nf", "10.0.0.7", "10.0.0.1"),
                                     rowIs(6, "g", "10.0.0.8", "10.0.0.1")));
}

TEST(SitePlanTest, SkipsEmptyLinesAndLinesOfSeparatorsOnlyAndTrimsCells) {
  EXPECT_THAT(read("\r\nMAC,IP,Gateway\r\n\r\n,,\r\n  AA-01 , 10.0.0.5 ,10.0.0.1  \r\n , , \r\n").rows,
              ElementsAre(rowIs(5, "AA-01", "10.0.0.5", "10.0.0.1")));
}

// The export guards cells that begin like a formula, or like a guarded cell,
// with a `'`; the guard goes, and nothing else does.
TEST(SitePlanTest, TheListsExportWithItsAddressesEditedIsAValidPlan) {
  std::string exported = "\xEF\xBB\xBF摄像机MAC,IP地址,网关)\r\n";
  int host = 10;
  for (const char* mac : {"=HYPERLINK(\"x\")", "-01", "+02", "@03", "'quoted", "'=1", "a,b"}) {
    exported += csvField(mac) + ",10.0.0." + std::to_string(++host) + ",10.0.0.1\r\n";
  }
  const SitePlan plan = read(exported);
  ASSERT_TRUE(plan.sendable());
  std::vector<std::string> macs;
  for (const SitePlanRow& row : plan.rows) macs.push_back(row.mac);
  EXPECT_THAT(macs, ElementsAre("=HYPERLINK(\"x\")", "-01", "+02", "@03", "'quoted", "'=1", "a,b"));
}

TEST(SitePlanTest, NamesEachRowThatCannotBeSentWithItsLine) {
  const struct {
    const char* row;
    PlanProblemKind kind;
  } cases[] = {
      {"AA-01,10.0.0.5", PlanProblemKind::kFieldCount},
      {"AA-01,10.0.0.5,10.0.0.1,extra", PlanProblemKind::kFieldCount},
      {"\"AA-01,10.0.0.5,10.0.0.1", PlanProblemKind::kUnclosedQuote},
      {" ,10.0.0.5,10.0.0.1", PlanProblemKind::kEmptyMac},
      {"AA-01,10.0.0.256,10.0.0.1", PlanProblemKind::kBadAddress},
      {"AA-01,10.0.0.5,gateway", PlanProblemKind::kBadAddress},
      {"AA-01,,10.0.0.1", PlanProblemKind::kBadAddress},
      {"AA-01,127.0.0.5,127.0.0.1", PlanProblemKind::kNotHostAddress},
      {"AA-01,10.0.0.5,255.255.255.255", PlanProblemKind::kNotHostAddress},
      {"AA-01,224.0.0.5,224.0.0.1", PlanProblemKind::kNotHostAddress},
  };
  for (const auto& c : cases) {
    const SitePlan plan = read(std::string("MAC,IP,Gateway\nBB-01,10.0.0.9,10.0.0.1\n") + c.row + "\n");
    ASSERT_EQ(plan.rows.size(), 2u) << c.row;
    EXPECT_THAT(plan.rows[1].problems, testing::Contains(problemIs(c.kind, 3))) << c.row;
    EXPECT_FALSE(plan.sendable()) << c.row;
  }
}

TEST(SitePlanTest, AProblemQuotesOnlyTheBeginningOfALongCell) {
  const std::string longCell = std::string(39, '1') + "大" + std::string(1'000'000, '2');
  const SitePlan plan = read("MAC,IP,Gateway\nAA-01," + longCell + ",10.0.0.1\n");
  ASSERT_THAT(plan.rows[0].problems, ElementsAre(problemIs(PlanProblemKind::kBadAddress, 2)));
  EXPECT_THAT(plan.rows[0].problems[0].text, testing::HasSubstr(std::string(39, '1') + "大…"));
  EXPECT_LT(plan.rows[0].problems[0].text.size(), 200u);
}

TEST(SitePlanTest, NamesTheSameMacOrAddressPlannedTwiceAtTheLaterRow) {
  const SitePlan plan = read("MAC,IP,Gateway\nAA-01,10.0.0.5,10.0.0.1\nBB-01,10.0.0.5,10.0.0.1\naa-01,10.0.0.7,10.0.0.1\n");
  EXPECT_THAT(plan.rows[0].problems, IsEmpty());
  EXPECT_THAT(plan.rows[1].problems, ElementsAre(problemIs(PlanProblemKind::kDuplicateAddress, 3)));
  EXPECT_THAT(plan.rows[2].problems, ElementsAre(problemIs(PlanProblemKind::kDuplicateMac, 4)));
  EXPECT_THAT(plan.rows[1].problems[0].text, testing::HasSubstr("2"));
  EXPECT_FALSE(plan.sendable());
}

TEST(SitePlanTest, AGatewayOutsideTheAddressesSlash24IsANoteThatDoesNotBlock) {
  const SitePlan plan = read("MAC,IP,Gateway\nAA-01,10.0.1.5,10.0.0.1\n");
  EXPECT_THAT(plan.rows[0].problems, ElementsAre(problemIs(PlanProblemKind::kGatewayElsewhere, 2)));
  EXPECT_FALSE(blocksSending(PlanProblemKind::kGatewayElsewhere));
  EXPECT_TRUE(plan.sendable());
}

TEST(SitePlanTest, NamesEachMissingColumnAndReadsNoRow) {
  const SitePlan plan = read("name;IP\nAA-01;10.0.0.5\n");
  EXPECT_THAT(plan.problems, ElementsAre(problemIs(PlanProblemKind::kMissingColumn, 0),
                                         problemIs(PlanProblemKind::kMissingColumn, 0)));
  EXPECT_THAT(plan.problems[0].text, testing::HasSubstr("MAC"));
  EXPECT_THAT(plan.rows, IsEmpty());
  EXPECT_FALSE(plan.sendable());
}

TEST(SitePlanTest, AFileThatIsNoPlanSaysWhyAndCannotBeSent) {
  const auto undecodable = [](std::string_view) { return std::string("\xFF"); };
  const struct {
    std::string bytes;
    GbkDecoder decode;
    PlanProblemKind kind;
  } cases[] = {
      {"", test::decodeTestGbk, PlanProblemKind::kEmpty},
      {"\r\n\r\n", test::decodeTestGbk, PlanProblemKind::kEmpty},
      {"MAC,IP,Gateway\r\n", test::decodeTestGbk, PlanProblemKind::kEmpty},
      {std::string("PK\x03\x04\0\0", 6), test::decodeTestGbk, PlanProblemKind::kNotText},
      {std::string("\xFF\xFEM\0A\0C\0", 8), test::decodeTestGbk, PlanProblemKind::kNotText},
      {"MAC,IP,Gateway\n\xC9\xE3,10.0.0.5,10.0.0.1\n", undecodable, PlanProblemKind::kNotText},
      {std::string(kPlanMaxBytes + 1, 'a'), test::decodeTestGbk, PlanProblemKind::kTooLarge},
  };
  for (const auto& c : cases) {
    const SitePlan plan = readSitePlan(c.bytes, c.decode);
    EXPECT_THAT(plan.problems, ElementsAre(problemIs(c.kind, 0))) << c.bytes.substr(0, 20);
    EXPECT_FALSE(plan.sendable());
  }
}

TEST(SitePlanTest, ReadsNoMoreThanTheRowLimit) {
  std::string text = "MAC,IP,Gateway\n";
  for (std::size_t row = 0; row <= kPlanMaxRows; ++row) text += "m" + std::to_string(row) + ",x,y\n";
  const SitePlan plan = read(text);
  EXPECT_EQ(plan.rows.size(), kPlanMaxRows);
  EXPECT_THAT(plan.problems, ElementsAre(problemIs(PlanProblemKind::kTooManyRows, 0)));
}

TEST(SitePlanTest, ReadsAFileAndNamesOneThatCannotBeOpened) {
  const std::string path = testing::TempDir() + "site_plan_test.csv";
  std::ofstream(path, std::ios::binary) << "MAC,IP,Gateway\nAA-01,10.0.0.5,10.0.0.1\n";
  EXPECT_THAT(readSitePlanFile(path, test::decodeTestGbk).rows, ElementsAre(rowIs(2, "AA-01", "10.0.0.5", "10.0.0.1")));
  std::remove(path.c_str());
  const SitePlan missing = readSitePlanFile(path, test::decodeTestGbk);
  EXPECT_THAT(missing.problems, ElementsAre(problemIs(PlanProblemKind::kCannotOpen, 0)));
  EXPECT_THAT(missing.problems[0].text, testing::HasSubstr(path));
}

}  // namespace
}  // namespace pages
