// Closing the window while a crowd of cameras is still answering (the lab run
// with --crowd): the program must end promptly and leave no thread behind.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <QPushButton>
#include <QTest>
#include <QThreadPool>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>

#include "discovery/host_network.h"
#include "lab/camera_page_user.h"
#include "lab/lab_network.h"
#include "lab/program_on_screen.h"
#include "qt/dialog_builder.h"
#include "qt/camera_page.h"
#include "qt/fake_presenter.h"
#include "qt/main_window.h"
#include "res/resource_ids.h"

namespace labtest {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr int kCrowdWaitMs = milliseconds(kProgramDeadline).count();
// Each search sets every camera of the crowd answering; a burst of them keeps
// the crowd busy for longer than the test runs.
constexpr int kSearches = 20;
// Enough answers taken in to know the flood is on.
constexpr int kAnswersBeforeClosing = 500;
// Far beyond what closing takes, short of what a user would call a hang.
constexpr auto kPromptly = std::chrono::seconds(5);

std::set<std::string> threadsOfThisProcess() {
  std::set<std::string> threads;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/task"))
    threads.insert(entry.path().filename().string());
  return threads;
}

// "id (name)" of each thread, for messages.
std::string describeThreads(const std::set<std::string>& threads) {
  std::string text;
  for (const std::string& id : threads) {
    std::ifstream name("/proc/self/task/" + id + "/comm");
    std::string line;
    std::getline(name, line);
    text += id + " (" + line + ") ";
  }
  return text;
}

std::set<std::string> without(const std::set<std::string>& all, const std::set<std::string>& removed) {
  std::set<std::string> rest;
  std::ranges::set_difference(all, removed, std::inserter(rest, rest.end()));
  return rest;
}

std::set<std::string> common(const std::set<std::string>& a, const std::set<std::string>& b) {
  std::set<std::string> both;
  std::ranges::set_intersection(a, b, std::inserter(both, both.end()));
  return both;
}

TEST(CloseUnderFloodTest, ClosingTheMainWindowEndsTheThreadsItStarted) {
  const auto before = threadsOfThisProcess();
  testsupport::FakePresenter messages;
  discovery::SystemNetwork network;
  auto window = std::make_unique<qtui::MainWindow>(messages, network);
  ASSERT_NO_FATAL_FAILURE(showAndCheckChannel(*window, *window->cameraPage()));
  const qtui::CameraPage& page = *window->cameraPage();
  const auto started = without(threadsOfThisProcess(), before);
  ASSERT_FALSE(started.empty()) << "the channel's receive thread";

  searchFromThePc(kSearches);
  ASSERT_TRUE(QTest::qWaitFor([&] { return page.cameraModel().rowCount() >= kAnswersBeforeClosing; }, kCrowdWaitMs));
  QTest::mouseClick(qtui::control(window.get(), ui::ids::main_window::kClose), Qt::LeftButton);  // 关闭
  EXPECT_FALSE(window->isVisible());
  // What the program does once the window's modal run has returned.
  const auto closing = Clock::now();
  window.reset();
  const auto took = std::chrono::duration_cast<milliseconds>(Clock::now() - closing);
  RecordProperty("window_destroyed_ms", static_cast<int>(took.count()));
  EXPECT_LT(took, kPromptly);
  // Qt's own pool keeps idle workers for a while; they are Qt's, not the
  // window's, and this ends them.
  QThreadPool::globalInstance()->waitForDone();
  // A joined thread leaves the system's thread list a moment after the join.
  EXPECT_TRUE(QTest::qWaitFor([&] { return common(threadsOfThisProcess(), started).empty(); }, kCrowdWaitMs))
      << "still there: " << describeThreads(common(threadsOfThisProcess(), started));
}

TEST(CloseUnderFloodTest, TheProgramEndsPromptlyWhenItsWindowIsClosed) {
  ASSERT_FALSE(programPath().empty()) << "TOVALEN_PROGRAM names no program";
  const TemporaryDirectory session;
  ProgramOnScreen program(programPath(), 5911, session.path());
  ASSERT_TRUE(program.awaitWindow()) << program.error();

  const std::uint64_t readBefore = udpDatagramsRead();
  searchFromThePc(kSearches);
  ASSERT_TRUE(QTest::qWaitFor([&] { return udpDatagramsRead() >= readBefore + kAnswersBeforeClosing; }, kCrowdWaitMs));
  // Still flowing right now, not a burst that is over.
  const std::uint64_t readNow = udpDatagramsRead();
  ASSERT_TRUE(QTest::qWaitFor([&] { return udpDatagramsRead() > readNow; }, kCrowdWaitMs));

  ASSERT_TRUE(program.screen.pressKey(kKeyEscape)) << program.error();
  const auto closing = Clock::now();
  const auto end = program.process.waitForExit(kProgramDeadline);
  const auto took = std::chrono::duration_cast<milliseconds>(Clock::now() - closing);
  RecordProperty("program_ended_ms", static_cast<int>(took.count()));
  // A receive thread still running at the end would abort the program (a
  // std::thread destroyed unjoined), and one waited for in vain would keep it
  // from ending: exit code 0 in time rules out both.
  EXPECT_TRUE(end && WIFEXITED(*end) && WEXITSTATUS(*end) == 0) << describeStatus(end);
  EXPECT_LT(took, kPromptly);
}

}  // namespace
}  // namespace labtest
