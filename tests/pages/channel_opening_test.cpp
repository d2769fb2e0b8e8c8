// The camera page opening its channel behind the window: a search asked for
// meanwhile goes out once the channel is open, and a page closed or gone
// meanwhile cancels the open, waits for it, and runs nothing afterwards.
#include <gtest/gtest.h>

#include <condition_variable>
#include <memory>
#include <mutex>

#include "pages/camera_page.h"
#include "tests/pages/page_fakes.h"

namespace pages {
namespace {

// A channel whose open() runs on the page's worker and lasts until the test
// lets it end, or the page cancels it.
class GatedChannel : public testsupport::FakeChannel {
 public:
  bool open() override {
    std::unique_lock lock(mutex_);
    entered_ = opening_ = true;
    changed_.notify_all();
    changed_.wait(lock, [&] { return released_ || cancelled_; });
    opening_ = false;
    return opens && !cancelled_;
  }
  void cancelOpen() override {
    std::lock_guard lock(mutex_);
    cancelled_ = true;
    changed_.notify_all();
  }
  void close() override {
    std::lock_guard lock(mutex_);
    closedWhileOpening = closedWhileOpening || opening_;
    FakeChannel::close();
  }

  void release() {
    std::lock_guard lock(mutex_);
    released_ = true;
    changed_.notify_all();
  }
  void waitUntilEntered() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return entered_; });
  }
  bool cancelled() {
    std::lock_guard lock(mutex_);
    return cancelled_;
  }

  bool closedWhileOpening = false;

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool entered_ = false;
  bool released_ = false;
  bool cancelled_ = false;
  bool opening_ = false;
};

class ProposalView : public CameraPageView {
 public:
  void rowsChanged(const ShownCameraList::Changes&) override {}
  void proposalRead() override { ++proposals; }
  int proposals = 0;
};

class ChannelOpeningTest : public testing::Test {
 protected:
  GatedChannel channel;
  testsupport::FakePrompter prompter;
  testsupport::FakeTimer timer;
  testsupport::FakeChecker checker;
  testsupport::FakeNetwork network{{testsupport::adapterAt({192, 168, 1, 10}, 24, "192.168.1.1")}};
  ProposalView view;
  std::unique_ptr<CameraPage> page = std::make_unique<CameraPage>(
      CameraPageSeams{channel, prompter, timer, checker, network, [](std::string_view gbk) { return std::string(gbk); }},
      view);
};

TEST_F(ChannelOpeningTest, TheProposalComesBeforeTheSocketsAndSearchesAskedForMeanwhileGoOutOnceWhenOpen) {
  page->openInBackground();
  EXPECT_TRUE(page->channelOpening());
  timer.runPosted(1);
  EXPECT_EQ(view.proposals, 1);
  EXPECT_EQ(page->proposedAddress(), "192.168.1.241") << "the proposal does not wait for the sockets";
  EXPECT_EQ(page->proposedGateway(), "192.168.1.1");
  EXPECT_TRUE(page->channelOpening());
  page->search();
  page->search();
  EXPECT_EQ(channel.searches, 0) << "nothing touches the channel while it opens";

  channel.release();
  timer.runPosted(2);
  EXPECT_FALSE(page->channelOpening());
  EXPECT_EQ(channel.searches, 1);
  page->search();
  EXPECT_EQ(channel.searches, 2) << "once open, each search goes out at once";
}

TEST_F(ChannelOpeningTest, NoSearchWaitsWhenNoneWasAskedFor) {
  page->openInBackground();
  channel.release();
  timer.runPosted(2);
  EXPECT_FALSE(page->channelOpening());
  EXPECT_EQ(channel.searches, 0);
}

TEST_F(ChannelOpeningTest, ClosingWhileTheChannelOpensCancelsTheOpenAndLeavesNothingToRun) {
  page->openInBackground();
  channel.waitUntilEntered();
  page->search();
  page->close();  // would wait for ever on an open it did not cancel
  EXPECT_TRUE(channel.cancelled());
  EXPECT_TRUE(channel.closed);
  EXPECT_FALSE(channel.closedWhileOpening) << "the channel closes only once its open has ended";
  EXPECT_FALSE(page->channelOpening());

  timer.runPosted(2);  // the proposal and the outcome the worker posted
  EXPECT_EQ(view.proposals, 0);
  EXPECT_EQ(channel.searches, 0) << "a closed page sends nothing";
}

TEST_F(ChannelOpeningTest, APageDestroyedWhileItsChannelOpensRunsNothingAfterwards) {
  page->openInBackground();
  channel.waitUntilEntered();
  page->search();
  page.reset();
  EXPECT_TRUE(channel.cancelled());
  EXPECT_FALSE(channel.closedWhileOpening);
  timer.runPosted(2);  // must not reach the gone page (the sanitizers' builds tell)
  EXPECT_EQ(view.proposals, 0);
  EXPECT_EQ(channel.searches, 0);
}

}  // namespace
}  // namespace pages
