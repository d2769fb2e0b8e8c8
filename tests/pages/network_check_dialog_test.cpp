// The network check's dialog with stand-ins for its seams: the report comes
// only after the listen time, copy takes the whole of it, and a fix runs
// only once its exact command line was agreed to, then the check listens
// again. The channel is a real one, never opened: it sends nothing.
#include "pages/network_check_dialog.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>

#include "res/strings.h"
#include "tests/pages/page_fakes.h"

namespace pages {
namespace {

using testing::ElementsAre;
using testing::HasSubstr;
using testing::IsEmpty;
namespace text = ui::strings::network;

// Adapters under loose filtering with no route back: each a finding with a
// fix wherever pkexec is.
class FakeInspector : public discovery::NetworkInspector {
 public:
  discovery::NetworkFacts inspect(std::uint16_t) override {
    ++inspections;
    discovery::NetworkFacts facts;
    for (const std::string& name : adapters) {
      discovery::AdapterFacts adapter;
      adapter.name = name;
      adapter.index = static_cast<unsigned>(facts.adapters.size() + 2);
      adapter.up = true;
      adapter.addresses = {{{10, 1, static_cast<std::uint8_t>(adapter.index), 2}, 24}};
      adapter.reversePathFilter = reversePathFilter;
      facts.adapters.push_back(adapter);
    }
    facts.reversePathFilterAll = 0;
    facts.canElevate = true;
    return facts;
  }
  std::vector<std::string> adapters{"eth0"};
  int reversePathFilter = 2;
  int inspections = 0;
};

class FakeRunner : public CommandRunner {
 public:
  bool run(const std::vector<std::string>& argv) override {
    ran.push_back(argv);
    return succeeds;
  }
  bool succeeds = true;
  std::vector<std::vector<std::string>> ran;
};

class CountingView : public NetworkCheckView {
 public:
  void changed() override { ++changes; }
  int changes = 0;
};

struct NoReceiver : discovery::ChannelReceiver {
  void deviceFound(discovery::DeviceInfoRecord) override {}
  void ipChanged(discovery::SetIpRecord) override {}
};

const std::vector<std::string> kFix{"pkexec", "/sbin/sysctl", "-w", "net.ipv4.conf.eth0.rp_filter=0"};

class NetworkCheckDialogTest : public testing::Test {
 protected:
  std::unique_ptr<NetworkCheckDialog> openDialog(CommandRunner* withRunner) {
    auto dialog = std::make_unique<NetworkCheckDialog>(
        NetworkCheckSeams{channel, inspector, timer, prompter, withRunner, [this] { return channelOpening; }}, view);
    dialog->start();
    return dialog;
  }
  // Opened and listened to the end, with the report shown.
  std::unique_ptr<NetworkCheckDialog> reported(CommandRunner* withRunner) {
    auto dialog = openDialog(withRunner);
    timer.advance(kNetworkCheckListen);
    return dialog;
  }

  testsupport::FakeNetwork network;
  NoReceiver receiver;
  discovery::MulticastChannel channel{receiver, network};
  FakeInspector inspector;
  testsupport::FakeTimer timer;
  testsupport::FakePrompter prompter;
  FakeRunner runner;
  CountingView view;
  bool channelOpening = false;
};

TEST_F(NetworkCheckDialogTest, OpenedWhileTheChannelOpensItSaysSoAndChecksOnceTheChannelIsOpen) {
  channelOpening = true;
  const auto dialog = openDialog(&runner);
  EXPECT_EQ(dialog->text(), text::kAdaptersOpening);
  EXPECT_EQ(inspector.inspections, 0) << "nothing is checked or sent before the channel is open";
  EXPECT_FALSE(dialog->canCopy());
  timer.advance(kNetworkCheckListen);
  EXPECT_EQ(dialog->text(), text::kAdaptersOpening) << "still opening: no report of a channel half open";

  channelOpening = false;
  timer.advance(kChannelOpeningPoll);
  EXPECT_EQ(inspector.inspections, 1);
  EXPECT_EQ(dialog->text(), text::kChecking);
  timer.advance(kNetworkCheckListen);
  EXPECT_THAT(dialog->text(), HasSubstr("网卡 eth0"));
  EXPECT_TRUE(dialog->canCopy());
}

TEST_F(NetworkCheckDialogTest, TheReportComesOnlyAfterTheListenTimeThenCopyTakesAllOfIt) {
  const auto dialog = openDialog(&runner);
  EXPECT_EQ(inspector.inspections, 1) << "begin() notes the counters";
  EXPECT_TRUE(dialog->listening());
  EXPECT_EQ(dialog->text(), text::kChecking);
  EXPECT_FALSE(dialog->canCopy());
  EXPECT_FALSE(dialog->canFix());
  dialog->copy();
  EXPECT_THAT(prompter.clipboard, IsEmpty());

  timer.advance(kNetworkCheckListen - std::chrono::milliseconds(1));
  EXPECT_TRUE(dialog->listening());
  timer.advance(std::chrono::milliseconds(1));
  EXPECT_FALSE(dialog->listening());
  EXPECT_EQ(view.changes, 2);
  EXPECT_EQ(dialog->text(), dialog->report().text());
  EXPECT_THAT(dialog->text(), HasSubstr("网卡 eth0：已连接，10.1.2.2/24"));
  EXPECT_TRUE(dialog->canCopy());
  EXPECT_TRUE(dialog->canFix());

  dialog->copy();
  EXPECT_EQ(prompter.clipboard, dialog->report().text());
  EXPECT_THAT(prompter.shown, IsEmpty()) << "nothing asked, nothing changed";
  EXPECT_THAT(runner.ran, IsEmpty());
}

TEST_F(NetworkCheckDialogTest, AFixRunsOnlyAfterTheUserAgreedToItsExactCommandThenTheCheckListensAgain) {
  const auto dialog = reported(&runner);
  prompter.answer = false;
  dialog->fix();
  ASSERT_EQ(prompter.shown.size(), 1u);
  EXPECT_TRUE(prompter.shown[0].question);
  EXPECT_EQ(prompter.shown[0].prompt.text, text::confirmFix(commandLine(kFix)));
  EXPECT_THAT(prompter.shown[0].prompt.text, HasSubstr("下次重启前有效"));
  EXPECT_THAT(runner.ran, IsEmpty()) << "Cancel changes nothing";
  EXPECT_FALSE(dialog->listening());

  prompter.answer = true;
  inspector.reversePathFilter = 0;  // as the command leaves it
  dialog->fix();
  EXPECT_THAT(runner.ran, ElementsAre(kFix));
  EXPECT_TRUE(dialog->listening());
  EXPECT_FALSE(dialog->canFix()) << "not again while listening";
  timer.advance(kNetworkCheckListen);
  EXPECT_FALSE(dialog->canFix()) << "the new report has nothing left to fix";
  EXPECT_THAT(dialog->text(), HasSubstr(text::kNoProblem));
}

TEST_F(NetworkCheckDialogTest, EachFixIsAskedInTurnAndOnlyTheAgreedOneRuns) {
  inspector.adapters = {"eth0", "eth1"};
  const auto dialog = reported(&runner);
  prompter.answers = {false, true};
  dialog->fix();
  ASSERT_EQ(prompter.shown.size(), 2u);
  EXPECT_THAT(prompter.shown[0].prompt.text, HasSubstr("net.ipv4.conf.eth0.rp_filter=0"));
  EXPECT_THAT(runner.ran, ElementsAre(ElementsAre("pkexec", "/sbin/sysctl", "-w", "net.ipv4.conf.eth1.rp_filter=0")));
  EXPECT_TRUE(dialog->listening());
}

TEST_F(NetworkCheckDialogTest, AFailedFixIsToldAndTheReportStays) {
  const auto dialog = reported(&runner);
  runner.succeeds = false;
  const std::string before = dialog->text();
  dialog->fix();
  ASSERT_EQ(prompter.shown.size(), 2u);
  EXPECT_FALSE(prompter.shown[1].question);
  EXPECT_EQ(prompter.shown[1].prompt.text, text::fixFailed(commandLine(kFix)));
  EXPECT_FALSE(dialog->listening());
  EXPECT_EQ(dialog->text(), before);
  EXPECT_TRUE(dialog->canFix()) << "the user may try again";
}

TEST_F(NetworkCheckDialogTest, WithoutARunnerNoFixIsOfferedNorAsked) {
  const auto dialog = reported(nullptr);
  ASSERT_FALSE(dialog->report().findings.empty());
  EXPECT_FALSE(dialog->report().findings.front().fix.empty());
  EXPECT_FALSE(dialog->canFix());
  dialog->fix();
  EXPECT_THAT(prompter.shown, IsEmpty());
}

TEST_F(NetworkCheckDialogTest, ClosedWhileListeningLeavesNothingScheduled) {
  openDialog(&runner).reset();
  EXPECT_EQ(timer.pending(), 0u);
  EXPECT_EQ(view.changes, 1);
}

}  // namespace
}  // namespace pages
