// The terminal's event loop: timed tasks in the order they fall due,
// cancelled ones never, tasks posted from another thread run on the loop's,
// and the loop ends when its work is done or its time is up. Every wait
// here ends on a condition; the deadlines only bound a failing test.
#include "cli/event_loop.h"

#include <gmock/gmock.h>

#include <thread>
#include <vector>

namespace cli {
namespace {

using namespace std::chrono_literals;
using testing::ElementsAre;

auto farAway() { return EventLoop::Clock::now() + 60s; }

TEST(EventLoopTest, RunsTimedTasksByWhenTheyFallDueAndNeverACancelledOne) {
  EventLoop loop;
  std::vector<int> ran;
  // Each asked for no sooner than the one before: their order cannot depend
  // on how fast this thread runs.
  const auto cancelled = loop.runAfter(0ms, [&] { ran.push_back(-1); });
  loop.runAfter(0ms, [&] { ran.push_back(0); });
  loop.runAfter(1ms, [&] { ran.push_back(1); });
  loop.runAfter(2ms, [&] { ran.push_back(2); });
  loop.cancel(cancelled);
  EXPECT_TRUE(loop.runUntil([&] { return ran.size() == 3; }, farAway()));
  EXPECT_THAT(ran, ElementsAre(0, 1, 2));
}

TEST(EventLoopTest, ATaskPostedFromAnotherThreadRunsOnTheLoopsThreadInOrder) {
  EventLoop loop;
  std::vector<int> ran;
  std::vector<std::thread::id> threads;
  std::thread poster([&] {
    for (int task = 0; task < 3; ++task)
      loop.post([&, task] {
        ran.push_back(task);
        threads.push_back(std::this_thread::get_id());
      });
  });
  EXPECT_TRUE(loop.runUntil([&] { return ran.size() == 3; }, farAway()));
  poster.join();
  EXPECT_THAT(ran, ElementsAre(0, 1, 2));
  EXPECT_THAT(threads, testing::Each(std::this_thread::get_id()));
}

TEST(EventLoopTest, EndsAtItsDeadlineWithTheWorkUndoneAndLeavesLaterTasksWaiting) {
  EventLoop loop;
  bool late = false;
  loop.runAfter(1h, [&] { late = true; });
  EXPECT_FALSE(loop.runUntil([] { return false; }, EventLoop::Clock::now() + 1ms));
  EXPECT_FALSE(late);
}

TEST(EventLoopTest, ADeadlineOfNowRunsWhatIsDueAndWhatThatMakesDue) {
  EventLoop loop;
  int ran = 0;
  loop.runAfter(0ms, [&] {
    ++ran;
    loop.runAfter(0ms, [&] { ++ran; });
  });
  loop.runUntil([] { return false; }, EventLoop::Clock::now());
  EXPECT_EQ(ran, 2);
}

}  // namespace
}  // namespace cli
