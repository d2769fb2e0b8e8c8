// Real copies of the program side by side in the PC's namespace: one copy per
// executable name.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <QTest>
#include <filesystem>

#include "lab/lab_network.h"
#include "lab/program_on_screen.h"

namespace labtest {
namespace {

constexpr int kWaitMs = std::chrono::milliseconds(kProgramDeadline).count();
// A search from the PC comes back to the program itself, then the lab's three
// cameras answer it.
constexpr std::uint64_t kDatagramsPerSearch = 1 + 3;

bool endedWithCode(const std::optional<int>& status, int code) {
  return status && WIFEXITED(*status) && WEXITSTATUS(*status) == code;
}

TEST(ProgramCopiesTest, ASecondCopyIsRefusedWhileACopyUnderAnotherNameRunsBeside) {
  ASSERT_FALSE(programPath().empty()) << "TOVALEN_PROGRAM names no program";
  const TemporaryDirectory session;  // where the copies keep their locks
  ProgramOnScreen first(programPath(), 5901, session.path());
  const auto mainWindow = first.awaitWindow();
  ASSERT_TRUE(mainWindow) << first.error();

  // The second copy shows a message box, far smaller than a main window, and
  // waits there for the user.
  ProgramOnScreen second(programPath(), 5902, session.path());
  const auto message = second.awaitWindow();
  ASSERT_TRUE(message) << second.error();
  EXPECT_LT(message->size(), mainWindow->size() / 4) << "message " << *message << ", main window " << *mainWindow;
  EXPECT_TRUE(second.process.running());
  ASSERT_TRUE(second.screen.pressKey(kKeyReturn)) << second.error();  // OK
  const auto secondEnd = second.process.waitForExit(kProgramDeadline);
  EXPECT_TRUE(secondEnd && WIFEXITED(*secondEnd) && WEXITSTATUS(*secondEnd) != 0) << describeStatus(secondEnd);

  // The first copy goes on and still reads what the cameras answer.
  EXPECT_TRUE(first.process.running());
  const std::uint64_t readBefore = udpDatagramsRead();
  searchFromThePc(1);
  EXPECT_TRUE(QTest::qWaitFor([&] { return udpDatagramsRead() >= readBefore + kDatagramsPerSearch; }, kWaitMs))
      << udpDatagramsRead() - readBefore << " datagrams read";

  // Under another name the program is another application, with its own lock.
  const std::string renamed = session.path() + "/tovalen-copy";
  std::filesystem::copy_file(programPath(), renamed);
  std::filesystem::permissions(renamed, std::filesystem::perms::owner_exec, std::filesystem::perm_options::add);
  ProgramOnScreen copy(renamed, 5903, session.path());
  const auto copyWindow = copy.awaitWindow();
  ASSERT_TRUE(copyWindow) << copy.error();
  EXPECT_EQ(copyWindow->size(), mainWindow->size()) << "copy shows " << *copyWindow;
  EXPECT_TRUE(copy.process.running());
  EXPECT_TRUE(first.process.running());

  // Both close like any main window, Esc, and end normally.
  for (ProgramOnScreen* program : {&first, &copy}) {
    ASSERT_TRUE(program->screen.pressKey(kKeyEscape)) << program->error();
    const auto end = program->process.waitForExit(kProgramDeadline);
    EXPECT_TRUE(endedWithCode(end, 0)) << describeStatus(end);
  }
}

}  // namespace
}  // namespace labtest
