// The site plan's dialog with stand-ins for the page's seams: the preview of
// every plan row, the link's answers, the rules that keep an address from
// being given twice, the plans that send nothing, and OK handing the listed
// cameras to the batch.
#include "pages/plan_dialog.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "pages/addresses.h"
#include "pages/batch_run.h"
#include "res/strings.h"
#include "support/datagrams.h"
#include "tests/pages/faked_page_test.h"
#include "tests/pages/page_fakes.h"

namespace pages {
namespace {

using testing::ElementsAre;
using testing::IsEmpty;
using testsupport::deviceRecord;
using testsupport::setIpRecord;
namespace texts = ui::strings;

constexpr std::uint32_t address(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d) {
  return a << 24 | b << 16 | c << 8 | d;
}
constexpr std::uint32_t kGateway = address(192, 168, 1, 1);

// Link addresses, so that the link's answers can name them.
constexpr const char* kMacA = "02:00:00:00:00:0a";
constexpr const char* kMacB = "02:00:00:00:00:0b";
constexpr const char* kMacC = "02:00:00:00:00:0c";
constexpr const char* kStranger = "02:00:00:00:00:99";

std::string identity(std::string_view text) { return std::string(text); }

class PlanDialogTest : public testsupport::FakedPageTest {
 protected:
  // A plan file's rows under the export's own header.
  static SitePlan plan(const std::string& rows) { return readSitePlan("摄像机MAC,IP地址,网关)\r\n" + rows, identity); }
  static std::vector<std::string> row(const PlanDialog& dialog, std::size_t index) {
    std::vector<std::string> cells;
    for (std::size_t column = 0; column <= kPlanProblemsColumn; ++column) cells.push_back(dialog.cell(index, column));
    return cells;
  }
};

TEST_F(PlanDialogTest, EveryRowIsPreviewedOkWaitsForEachListedCheckAndTheListedCamerasAreSentTheirAddresses) {
  list({{kMacA, "10.0.0.5"}, {kMacB, "172.16.0.6"}});
  PlanDialog dialog(page, plan(std::string(kMacA) + ",192.168.1.50,192.168.1.1\r\n" + kMacC +
                               ",192.168.1.52,192.168.1.1\r\n" + kMacB + ",192.168.1.51,192.168.1.1\r\n"));
  ASSERT_EQ(dialog.rowCount(), 3u);
  EXPECT_THAT(row(dialog, 0), ElementsAre(kMacA, "10.0.0.5", "192.168.1.50", "192.168.1.1", "检查中…", ""));
  EXPECT_THAT(row(dialog, 1), ElementsAre(kMacC, "未列出", "192.168.1.52", "192.168.1.1", "", ""));
  EXPECT_THAT(checker.asked, ElementsAre(address(192, 168, 1, 50), address(192, 168, 1, 51)))
      << "all at once, and nothing for the camera not listed";
  EXPECT_EQ(dialog.summary(), texts::planListed(2, 3));

  EXPECT_FALSE(dialog.sendable());
  EXPECT_FALSE(dialog.accept(prompter)) << "OK before the checks have answered";
  checker.answer(address(192, 168, 1, 50), AddressUse::Free);
  EXPECT_FALSE(dialog.sendable());
  checker.answer(address(192, 168, 1, 51), AddressUse::CannotVerify);
  ASSERT_TRUE(dialog.sendable());
  EXPECT_EQ(dialog.cell(0, kPlanCheckColumn), "空闲");
  EXPECT_EQ(dialog.cell(2, kPlanCheckColumn), "无法检查");
  EXPECT_TRUE(prompter.shown.empty());

  ASSERT_TRUE(dialog.accept(prompter));
  EXPECT_THAT(prompter.texts(), ElementsAre("将按计划修改 2 台摄像机的IP和网关。\r\n确定修改吗？"));
  EXPECT_TRUE(page.batchRunning());
  timer.advance(kBatchSpacing * 2);
  ASSERT_EQ(channel.setIps.size(), 2u);
  EXPECT_EQ(channel.setIps[0].mac, kMacA);
  EXPECT_EQ(channel.setIps[0].address, address(192, 168, 1, 50));
  EXPECT_EQ(channel.setIps[0].gateway, kGateway);
  EXPECT_EQ(channel.setIps[1].mac, kMacB);
  EXPECT_EQ(channel.setIps[1].address, address(192, 168, 1, 51));

  // A takes its address; B stays silent and is sent its planned one again.
  arrive({setIpRecord(kMacA, {192, 168, 1, 50}, {192, 168, 1, 1})});
  prompter.shown.clear();
  timer.advance(kBatchAnswerWait);
  checker.answer(address(192, 168, 1, 50), AddressUse::InUse, kMacA);
  ASSERT_EQ(prompter.shown.size(), 1u);
  EXPECT_EQ(prompter.shown[0].prompt.text,
            texts::batchReached(1) + "\r\n\r\n" + texts::batchUnanswered(std::string(kMacB) + "  192.168.1.51\r\n"));
  ASSERT_EQ(channel.setIps.size(), 3u);
  EXPECT_EQ(channel.setIps[2].mac, kMacB);
  EXPECT_EQ(channel.setIps[2].address, address(192, 168, 1, 51));
}

// One plan row's camera A at .20, beside B at .21 and C at .22; what the link
// answers for each planned address.
struct AddressRuleCase {
  const char* name;
  std::vector<std::pair<const char*, std::uint32_t>> planned;  // MAC and planned last field
  std::vector<std::pair<std::uint32_t, const char*>> inUse;    // last field and who answered; the rest are free
  bool sendable;
  std::vector<std::string> problems;  // of the first row
  const char* check;                  // of the first row
};

void PrintTo(const AddressRuleCase& rule, std::ostream* out) { *out << rule.name; }

class AddressRuleTest : public PlanDialogTest, public testing::WithParamInterface<AddressRuleCase> {};

TEST_P(AddressRuleTest, NoAddressIsGivenTwice) {
  const AddressRuleCase& rule = GetParam();
  list({{kMacA, "192.168.1.20"}, {kMacB, "192.168.1.21"}, {kMacC, "192.168.1.22"}});
  std::string rows;
  for (const auto& [mac, last] : rule.planned) rows += std::string(mac) + ",192.168.1." + std::to_string(last) + ",192.168.1.1\r\n";
  PlanDialog dialog(page, plan(rows));
  for (const auto& [mac, last] : rule.planned) {
    const auto taken = std::find_if(rule.inUse.begin(), rule.inUse.end(), [&](const auto& use) { return use.first == last; });
    if (taken == rule.inUse.end())
      checker.answer(address(192, 168, 1, last), AddressUse::Free);
    else
      checker.answer(address(192, 168, 1, last), AddressUse::InUse, taken->second);
  }
  EXPECT_EQ(dialog.sendable(), rule.sendable);
  std::string problems;
  for (const std::string& problem : rule.problems) problems += (problems.empty() ? "" : " ") + problem;
  EXPECT_EQ(dialog.cell(0, kPlanProblemsColumn), problems);
  EXPECT_EQ(dialog.cell(0, kPlanCheckColumn), rule.check);
  EXPECT_EQ(dialog.summary(), rule.sendable ? texts::planListed(rule.planned.size(), rule.planned.size())
                                            : texts::kPlanNotSendable);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, AddressRuleTest,
    testing::Values(
        AddressRuleCase{"FreeOnTheLink", {{kMacA, 30}}, {}, true, {}, "空闲"},
        AddressRuleCase{"AnotherHostOnTheLink",
                        {{kMacA, 30}},
                        {{30, kStranger}},
                        false,
                        {texts::planAddressTakenOnTheLink(2, "192.168.1.30", kStranger)},
                        "被 02:00:00:00:00:99 使用"},
        AddressRuleCase{"ItsOwnAddressKept", {{kMacA, 20}}, {{20, kMacA}}, true, {}, "被 02:00:00:00:00:0a 使用"},
        AddressRuleCase{"AListedCameraThePlanLeavesThere",
                        {{kMacA, 21}},
                        {{21, kMacB}},
                        false,
                        {texts::planAddressListed(2, "192.168.1.21", kMacB)},
                        "被 02:00:00:00:00:0b 使用"},
        AddressRuleCase{"AListedCameraThePlanMovesElsewhere",
                        {{kMacA, 21}, {kMacB, 40}},
                        {{21, kMacB}},
                        true,
                        {texts::planAddressFreedByPlan(2, "192.168.1.21", kMacB, "192.168.1.40")},
                        "被 02:00:00:00:00:0b 使用"},
        AddressRuleCase{"TwoCamerasSwapped",
                        {{kMacA, 21}, {kMacB, 20}},
                        {{21, kMacB}, {20, kMacA}},
                        true,
                        {texts::planAddressFreedByPlan(2, "192.168.1.21", kMacB, "192.168.1.20")},
                        "被 02:00:00:00:00:0b 使用"},
        // The list shows C elsewhere, but C answers at the address: the plan moves it.
        AddressRuleCase{"APlannedCameraAnsweringThere",
                        {{kMacA, 30}, {kMacC, 41}},
                        {{30, kMacC}},
                        true,
                        {texts::planAddressFreedByPlan(2, "192.168.1.30", kMacC, "192.168.1.41")},
                        "被 02:00:00:00:00:0c 使用"},
        AddressRuleCase{"ThePcsOwnAddress",
                        {{kMacA, 10}},
                        {},
                        false,
                        {texts::planAddressOfThisPc(2, "192.168.1.10")},
                        "本机的地址"}),
    [](const testing::TestParamInfo<AddressRuleCase>& info) { return std::string(info.param.name); });

TEST_F(PlanDialogTest, APlanWithAnyBlockingProblemSendsNothingAndOneWithNoListedCameraSaysSo) {
  list({{kMacA, "10.0.0.5"}, {kMacB, "10.0.0.6"}});
  PlanDialog twice(page, plan(std::string(kMacA) + ",192.168.1.50,192.168.1.1\r\n" + kMacA +
                              ",192.168.1.51,192.168.1.1\r\n" + kMacB + ",192.168.1.50,192.168.1.1\r\n" +
                              "CAM,192.168.1.52\r\n"));
  checker.answerAll(AddressUse::Free);
  EXPECT_EQ(twice.cell(1, kPlanProblemsColumn), texts::planDuplicateMac(3, kMacA, 2));
  EXPECT_EQ(twice.cell(2, kPlanProblemsColumn), texts::planDuplicateAddress(4, "192.168.1.50", 2));
  EXPECT_EQ(twice.cell(3, kPlanProblemsColumn), texts::planFieldCount(5, 3, 2));
  EXPECT_THAT(row(twice, 3), ElementsAre("", "未列出", "", "", "", texts::planFieldCount(5, 3, 2)));
  EXPECT_FALSE(twice.sendable());
  EXPECT_EQ(twice.summary(), texts::kPlanNotSendable);
  EXPECT_FALSE(twice.accept(prompter));
  EXPECT_TRUE(prompter.shown.empty());

  // A gateway outside the address's /24 is a note only.
  PlanDialog noted(page, plan(std::string(kMacA) + ",192.168.1.50,192.168.2.1\r\n"));
  checker.answerAll(AddressUse::Free);
  EXPECT_EQ(noted.cell(0, kPlanProblemsColumn), texts::planGatewayElsewhere(2, "192.168.2.1", "192.168.1.50"));
  EXPECT_TRUE(noted.sendable());

  const std::size_t askedBefore = checker.asked.size();
  PlanDialog unheard(page, plan(std::string(kMacC) + ",192.168.1.52,192.168.1.1\r\n"));
  EXPECT_EQ(checker.asked.size(), askedBefore) << "nothing to check";
  EXPECT_FALSE(unheard.sendable());
  EXPECT_EQ(unheard.summary(), texts::kPlanNoneListed);
  EXPECT_FALSE(unheard.accept(prompter));
  EXPECT_TRUE(prompter.shown.empty());
  timer.advance(kBatchAnswerWait);
  EXPECT_THAT(channel.setIps, IsEmpty());
}

TEST_F(PlanDialogTest, OkPlansFromTheListAsItStandsACameraHeardSinceIsCheckedFirst) {
  list({{kMacA, "10.0.0.5"}});
  PlanDialog dialog(page,
                    plan(std::string(kMacA) + ",192.168.1.50,192.168.1.1\r\n" + kMacB + ",192.168.1.51,192.168.1.1\r\n"));
  checker.answerAll(AddressUse::Free);
  ASSERT_TRUE(dialog.sendable());
  list({{kMacB, "10.0.0.6"}});
  EXPECT_FALSE(dialog.accept(prompter)) << "B is listed now, and its address not checked yet";
  EXPECT_TRUE(prompter.shown.empty());
  EXPECT_EQ(dialog.cell(1, kPlanCurrentColumn), "10.0.0.6");
  EXPECT_EQ(dialog.cell(1, kPlanCheckColumn), "检查中…");
  checker.answerAll(AddressUse::Free);
  prompter.answer = false;
  EXPECT_FALSE(dialog.accept(prompter)) << "Cancel at the confirmation";
  EXPECT_THAT(prompter.texts(), ElementsAre(texts::planConfirm(2)));
  prompter.answer = true;
  ASSERT_TRUE(dialog.accept(prompter));
  timer.advance(kBatchSpacing * 2);
  EXPECT_EQ(channel.setIps.size(), 2u);
  prompter.shown.clear();
  EXPECT_FALSE(dialog.accept(prompter)) << "one batch at a time";
  EXPECT_THAT(prompter.texts(), ElementsAre(texts::kBatchRunning));
}

TEST_F(PlanDialogTest, ThePlanFileIsChosenAndReadAndOneWithoutRowsIsToldNotPreviewed) {
  EXPECT_EQ(chooseSitePlan(page, prompter), std::nullopt) << "cancelled";
  ASSERT_TRUE(prompter.fileChoice);
  EXPECT_EQ(prompter.fileChoice->caption, texts::kPlanFileCaption);
  EXPECT_EQ(prompter.fileChoice->filter, texts::kCsvFilter);
  EXPECT_TRUE(prompter.shown.empty());

  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("tovalen-plan-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  const std::filesystem::path file = folder / "规划表.csv";
  std::ofstream(file) << "MAC,IP,Gateway\n" << kMacA << ",192.168.1.50,192.168.1.1\n";
  prompter.fileToOpen = file.string();
  const auto read = chooseSitePlan(page, prompter);
  ASSERT_TRUE(read);
  ASSERT_EQ(read->rows.size(), 1u);
  EXPECT_EQ(read->rows[0].address, address(192, 168, 1, 50));

  std::ofstream(file, std::ios::trunc) << "MAC,IP\n" << kMacA << ",192.168.1.50\n";
  EXPECT_EQ(chooseSitePlan(page, prompter), std::nullopt);
  EXPECT_THAT(prompter.texts(), ElementsAre(texts::planMissingColumn("网关")));
  std::filesystem::remove_all(folder);

  prompter.shown.clear();
  prompter.fileToOpen = (folder / "gone.csv").string();
  EXPECT_EQ(chooseSitePlan(page, prompter), std::nullopt);
  EXPECT_THAT(prompter.texts(), ElementsAre(texts::planCannotOpen((folder / "gone.csv").string())));

  // While a batch runs, no file is asked for.
  list({{kMacA, "10.0.0.5"}});
  page.startPlannedBatch({{kMacA, "10.0.0.5", address(192, 168, 1, 50), kGateway}});
  prompter.shown.clear();
  prompter.fileChoice.reset();
  EXPECT_EQ(chooseSitePlan(page, prompter), std::nullopt);
  EXPECT_FALSE(prompter.fileChoice);
  EXPECT_THAT(prompter.texts(), ElementsAre(texts::kBatchRunning));
}

}  // namespace
}  // namespace pages
