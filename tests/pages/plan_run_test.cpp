// A site plan sent to the listed cameras: which plan rows are listed (by the
// MAC as shown), the sends paced on the timer, and each camera's outcome
// from the list and the set-IP answers the channel saw.
#include "pages/plan_run.h"

#include <gmock/gmock.h>

#include "pages/batch_run.h"
#include "support/datagrams.h"
#include "tests/pages/page_fakes.h"

namespace pages {
namespace {

using testsupport::deviceRecord;
using testsupport::setIpRecord;

constexpr std::uint32_t k10_0_0_50 = 0x0A000032;
constexpr std::uint32_t k10_0_0_1 = 0x0A000001;

class PlanRunTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(page.open()); }

  void arrive(std::vector<discovery::DecodedRecord> records) {
    testsupport::deliver(page, fake, timer, std::move(records));
  }

  testsupport::FakeChannel fake;
  ObservedChannel channel{fake};
  testsupport::FakePrompter prompter;
  testsupport::FakeTimer timer;
  testsupport::FakeChecker checker;
  testsupport::FakeNetwork network{{testsupport::adapterAt({192, 168, 1, 10}, 24, "192.168.1.1")}};
  struct : CameraPageView {
    void rowsChanged(const ShownCameraList::Changes&) override {}
  } view;
  // Upper case on the wire, as the list shows it: the decoder is the identity.
  CameraPage page{{channel, prompter, timer, checker, network, [](std::string_view gbk) { return std::string(gbk); }},
                  view};
};

TEST_F(PlanRunTest, TakesThePlanRowsWhoseMacIsListedInThePlansOrder) {
  arrive({deviceRecord("AA", "10.0.0.5"), deviceRecord("BB", "10.0.0.6")});
  SitePlan plan;
  plan.rows = {{2, "BB", k10_0_0_50 + 1, k10_0_0_1, {}}, {3, "CC", k10_0_0_50 + 2, k10_0_0_1, {}},
               {4, "AA", k10_0_0_50, k10_0_0_1, {}}};
  const std::vector<PlannedChange> changes = listedChanges(page, plan);
  ASSERT_EQ(changes.size(), 2u);
  EXPECT_EQ(changes[0].mac, "BB");
  EXPECT_EQ(changes[0].address, k10_0_0_50 + 1);
  EXPECT_EQ(changes[1].mac, "AA");
  EXPECT_EQ(shownRowOf(page, "BB"), 1u);
  EXPECT_EQ(shownRowOf(page, "bb"), std::nullopt);
}

TEST_F(PlanRunTest, SendsEachChangeBatchSpacingApartThenSaysSo) {
  bool sent = false;
  PlanSend send(channel, timer, {{"AA", k10_0_0_50, k10_0_0_1}, {"BB", k10_0_0_50 + 1, k10_0_0_1}},
                [&] { sent = true; });
  send.start();
  ASSERT_EQ(fake.setIps.size(), 1u);
  EXPECT_EQ(fake.setIps[0].mac, "AA");
  timer.advance(kBatchSpacing - std::chrono::milliseconds(1));
  EXPECT_EQ(fake.setIps.size(), 1u);
  timer.advance(std::chrono::milliseconds(1));
  ASSERT_EQ(fake.setIps.size(), 2u);
  EXPECT_EQ(fake.setIps[1].address, k10_0_0_50 + 1);
  EXPECT_FALSE(sent);
  timer.advance(kBatchSpacing);
  EXPECT_TRUE(sent);
  EXPECT_EQ(channel.setIpRequestsSent(), 2u);
}

TEST_F(PlanRunTest, DroppedItSendsNoMore) {
  {
    PlanSend send(channel, timer, {{"AA", k10_0_0_50, k10_0_0_1}, {"BB", k10_0_0_50 + 1, k10_0_0_1}}, [] {});
    send.start();
  }
  timer.advance(kBatchSpacing * 4);
  EXPECT_EQ(fake.setIps.size(), 1u);
}

TEST_F(PlanRunTest, ACameraMovedKeptItsAddressOrDidNotAnswer) {
  arrive({deviceRecord("AA", "10.0.0.5"), deviceRecord("BB", "10.0.0.6"), deviceRecord("CC", "10.0.0.7")});
  const PlannedChange moves{"AA", k10_0_0_50, k10_0_0_1};
  const PlannedChange refuses{"BB", k10_0_0_50 + 1, k10_0_0_1};
  const PlannedChange silent{"CC", k10_0_0_50 + 2, k10_0_0_1};
  arrive({setIpRecord("AA", {10, 0, 0, 50}, {10, 0, 0, 1}), setIpRecord("BB", {10, 0, 0, 6}, {10, 0, 0, 1})});
  EXPECT_EQ(outcomeOf(page, channel, moves), ChangeOutcome::kMoved);
  EXPECT_EQ(outcomeOf(page, channel, refuses), ChangeOutcome::kKept);
  EXPECT_EQ(outcomeOf(page, channel, silent), ChangeOutcome::kNoAnswer);
  EXPECT_TRUE(channel.answeredSetIp("BB"));
  EXPECT_FALSE(channel.answeredSetIp("CC"));
}

TEST(ReachedCameraTest, AnAnswerIsTheCamerasOnlyWhenInUseByTheLinkAddressItsMacNames) {
  AddressAnswer answer;
  answer.address = {10, 0, 0, 50};
  answer.use = AddressUse::InUse;
  answer.linkAddress = "02:00:0a:00:00:05";
  EXPECT_EQ(answeredAddress(answer), k10_0_0_50);
  EXPECT_TRUE(answeredByMac(answer, "02-00-0A-00-00-05"));
  EXPECT_FALSE(answeredByMac(answer, "02:00:0A:00:00:06"));
  answer.use = AddressUse::Free;
  EXPECT_FALSE(answeredByMac(answer, "02:00:0A:00:00:05"));
  answer.use = AddressUse::InUse;
  answer.ownAddress = true;
  answer.linkAddress.clear();
  EXPECT_FALSE(answeredByMac(answer, ""));
}

}  // namespace
}  // namespace pages
