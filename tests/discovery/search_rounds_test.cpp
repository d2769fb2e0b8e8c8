// When a search goes out again: only after answers were dropped, once they
// have quieted down or the round's window has closed, and never more than the
// bound allows.
#include "discovery/search_rounds.h"

#include <gtest/gtest.h>

namespace discovery {
namespace {

using namespace std::chrono_literals;

class SearchRoundsTest : public testing::Test {
 protected:
  const SearchRounds::Clock::time_point start{};
  SearchRounds rounds;
};

TEST_F(SearchRoundsTest, ARoundThatLosesNothingIsCheckedAtTheQuietThenClosesWithItsWindow) {
  rounds.searchSent(start, 5);
  EXPECT_EQ(rounds.nextCheck(start + 10ms), start + 10ms + kRoundQuiet);
  EXPECT_FALSE(rounds.check(start + 10ms + kRoundQuiet, 5));
  EXPECT_EQ(rounds.nextCheck(start + 10ms), start + kRoundWindow);
  EXPECT_FALSE(rounds.check(start + kRoundWindow, 5));
  EXPECT_EQ(rounds.nextCheck(start + 10ms), std::nullopt);
}

TEST_F(SearchRoundsTest, LossesAfterAQuietCheckWithinTheWindowStillRepeatTheSearch) {
  rounds.searchSent(start, 5);
  EXPECT_FALSE(rounds.check(start + kRoundQuiet, 5));
  // Late answers arrive, and some are dropped.
  const auto lateArrival = start + 500ms;
  EXPECT_EQ(rounds.nextCheck(lateArrival), lateArrival + kRoundQuiet);
  EXPECT_TRUE(rounds.check(lateArrival + kRoundQuiet, 9));
}

TEST_F(SearchRoundsTest, AnswersThatNeverQuietDownPutNoCheckPastTheWindow) {
  // An answer every 50 ms, for as long as the test goes on.
  const auto checkedWithinWindow = [&](SearchRounds::Clock::time_point roundStart) {
    for (auto answer = roundStart; answer < roundStart + kRoundWindow; answer += 50ms) {
      const auto due = rounds.nextCheck(answer);
      if (!due || *due > roundStart + kRoundWindow) return false;
    }
    return true;
  };
  rounds.searchSent(start, 5);
  EXPECT_TRUE(checkedWithinWindow(start));
  EXPECT_TRUE(rounds.check(start + kRoundWindow, 9)) << "the search lost answers";
  const auto repeated = start + kRoundWindow;
  EXPECT_TRUE(checkedWithinWindow(repeated));
  EXPECT_FALSE(rounds.check(repeated + kRoundWindow, 9));
  EXPECT_EQ(rounds.nextCheck(repeated + kRoundWindow), std::nullopt) << "a round that lost nothing stays open";
}

TEST_F(SearchRoundsTest, EveryLossyRoundIsRepeatedUntilOneLosesNothing) {
  rounds.searchSent(start, 0);
  auto now = start;
  for (std::uint32_t drops = 1; drops <= 3; ++drops) {
    now += 200ms;
    EXPECT_TRUE(rounds.check(now, drops)) << "round " << drops;
  }
  EXPECT_FALSE(rounds.check(now + kRoundQuiet, 3));
  EXPECT_FALSE(rounds.check(now + kRoundWindow, 3));
  EXPECT_EQ(rounds.nextCheck(now), std::nullopt);
}

TEST_F(SearchRoundsTest, RepeatsStopAtTheBoundWhateverKeepsBeingDropped) {
  rounds.searchSent(start, 0);
  auto now = start;
  int repeats = 0;
  for (std::uint32_t drops = 1; drops <= 100; ++drops) repeats += rounds.check(now += 200ms, drops);
  EXPECT_EQ(repeats, kMaxSearchRepeats);
  EXPECT_EQ(rounds.nextCheck(now), std::nullopt);
}

TEST_F(SearchRoundsTest, TheUsersNextSearchStartsAFreshSeries) {
  rounds.searchSent(start, 0);
  auto now = start;
  for (std::uint32_t drops = 1; drops <= 100; ++drops) rounds.check(now += 200ms, drops);
  rounds.searchSent(now, 100);
  EXPECT_TRUE(rounds.check(now + kRoundQuiet, 101));
}

TEST_F(SearchRoundsTest, ACountThatWrapsAroundStillCountsAsALoss) {
  rounds.searchSent(start, 0xFFFFFFFF);
  EXPECT_TRUE(rounds.check(start + kRoundQuiet, 2));
}

TEST_F(SearchRoundsTest, WithoutADropCountNoSearchIsEverRepeated) {
  rounds.searchSent(start, std::nullopt);
  EXPECT_EQ(rounds.nextCheck(start), std::nullopt);
  EXPECT_FALSE(rounds.check(start + kRoundQuiet, 7));
}

}  // namespace
}  // namespace discovery
