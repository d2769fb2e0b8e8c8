// A file is replaced only by a whole new one: a write that fails midway
// leaves the old file as it was, and nothing beside it.
#include "pages/whole_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#endif

namespace pages {
namespace {

namespace fs = std::filesystem;

std::string utf8(const fs::path& path) {
  const std::u8string text = path.u8string();
  return {text.begin(), text.end()};
}

class WholeFileTest : public testing::Test {
 protected:
  void SetUp() override { fs::create_directories(folder); }
  void TearDown() override { fs::remove_all(folder); }

  static std::string read(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  }
  std::size_t filesInFolder() const { return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), {})); }

  const fs::path folder = fs::path(testing::TempDir()) / ("whole-file-" + std::to_string(::getpid()));
  const fs::path path = folder / u8"摄像机列表.csv";
};

TEST_F(WholeFileTest, WritesANewFileAndReplacesAnOldOne) {
  ASSERT_TRUE(writeWholeFile(utf8(path), "first").ok);
  EXPECT_EQ(read(path), "first");
  ASSERT_TRUE(writeWholeFile(utf8(path), "second, longer").ok);
  EXPECT_EQ(read(path), "second, longer");
  EXPECT_EQ(filesInFolder(), 1u);
}

TEST_F(WholeFileTest, AFileThatCannotBeCreatedReplacesNothing) {
  const WholeFileResult result = writeWholeFile(utf8((folder / "missing" / "x.csv")), "text");
  EXPECT_FALSE(result.ok);
  EXPECT_TRUE(result.replacedNothing);
  EXPECT_FALSE(result.error.empty());
}

#ifndef _WIN32
// A disk that fills up midway: the system refuses writes past a size limit.
TEST_F(WholeFileTest, AWriteThatFailsMidwayLeavesTheOldFileWholeAndNothingBeside) {
  const std::string good(100'000, 'g');
  ASSERT_TRUE(writeWholeFile(utf8(path), good).ok);
  rlimit before{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
  const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = before;
  small.rlim_cur = 50'000;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const WholeFileResult result = writeWholeFile(utf8(path), std::string(110'592, 'p'));
  setrlimit(RLIMIT_FSIZE, &before);
  std::signal(SIGXFSZ, previousHandler);

  EXPECT_FALSE(result.ok);
  EXPECT_FALSE(result.replacedNothing);
  EXPECT_EQ(read(path), good);
  EXPECT_EQ(filesInFolder(), 1u) << "the half-written file is gone";
}
#endif

}  // namespace
}  // namespace pages
