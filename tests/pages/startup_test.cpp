// What names a running copy: the executable's file name without its
// extension, from a path of either system; what the window finds when it
// runs.
#include "pages/startup.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>

#include "tests/pages/page_fakes.h"
#endif

namespace pages {
namespace {

TEST(StartupTest, ApplicationNameIsTheExecutablesFileNameWithoutExtension) {
  EXPECT_EQ(applicationNameOf("/usr/bin/tovalen"), "tovalen");
  EXPECT_EQ(applicationNameOf("C:/Program Files/Tovalen/tovalen.exe"), "tovalen");
  EXPECT_EQ(applicationNameOf("C:\\Program Files\\Tovalen\\tovalen.exe"), "tovalen");
  EXPECT_EQ(applicationNameOf("./tovalen-copy"), "tovalen-copy");
  EXPECT_EQ(applicationNameOf("tovalen.old.exe"), "tovalen.old");
}

#ifndef _WIN32
TEST(StartupTest, TheWindowRunsWithTheSoftLimitOfOpenFilesRaisedToTheHardOne) {
  rlimit limit{};
  ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &limit), 0);
  if (limit.rlim_max < 512) GTEST_SKIP() << "the hard limit leaves no room to lower the soft one";
  const rlimit lowered{256, limit.rlim_max};
  ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &lowered), 0);
  std::string runtime = (std::filesystem::temp_directory_path() / "tovalen-startup-test.XXXXXX").string();
  ASSERT_NE(mkdtemp(runtime.data()), nullptr);  // mode 0700, the user's own

  testsupport::FakePrompter prompter;
  rlimit inWindow{};
  const int status = runProgram("tovalen-startup-test", prompter, [&] { ::getrlimit(RLIMIT_NOFILE, &inWindow); },
                                {runtime, runtime});
  ::setrlimit(RLIMIT_NOFILE, &limit);
  std::filesystem::remove_all(runtime);
  EXPECT_EQ(status, kClosedExitCode);
  EXPECT_EQ(inWindow.rlim_cur, limit.rlim_max);
}
#endif

}  // namespace
}  // namespace pages
