// What README and the manual page say of the program is what it does: the
// interface texts they quote are the program's own, so that a text changed in
// the program and not in the documents (or the other way round) fails here
// (README quotes them in bold, the manual page with .B; any such quotation
// with a Chinese character in it counts), and the files they name are the
// ones it writes.
#include <gmock/gmock.h>

#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "pages/single_instance.h"
#include "res/dialog_templates.h"
#include "res/strings.h"

namespace ui {
namespace {

std::string trimmed(std::string text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::set<std::string> programTexts() {
  std::set<std::string> texts;
  for (const DialogTemplate* dialog :
       {&aboutTemplate(), &mainWindowTemplate(), &cameraPageTemplate(), &calcPageTemplate(), &batchTemplate(),
        &networkCheckTemplate(), &planTemplate()}) {
    texts.insert(trimmed(dialog->caption));
    for (const ControlSpec& control : dialog->controls) texts.insert(trimmed(control.text));
  }
  for (const char* text : {strings::kAboutMenuEntry, strings::kCameraTab, strings::kCalculatorTab,
                           strings::kNoticeCaption, strings::kAlreadyRunning, strings::kConfirmChange,
                           strings::kCopyMenuEntry, strings::kSelectAllMenuEntry, strings::kExportMenuEntry,
                           strings::kBatchMenuEntry, strings::kPlanMenuEntry, strings::kOpenWebPageMenuEntry,
                           strings::network::kMenuEntry, strings::kNotListed})
    texts.insert(trimmed(text));
  texts.insert(strings::kCameraColumns.begin(), strings::kCameraColumns.end());
  texts.insert(strings::invalidInput(1));
  return texts;
}

// Every match of `quotation`'s first group that holds a Chinese character
// (UTF-8 lead bytes 0xE4 to 0xE9 cover the common ideographs).
std::string textOf(const char* path) {
  std::ifstream file(path);
  EXPECT_TRUE(file) << "cannot read " << path;
  return {std::istreambuf_iterator<char>(file), {}};
}

std::set<std::string> quotedInterfaceTexts(const char* path, const std::regex& quotation) {
  const std::string text = textOf(path);
  std::set<std::string> quoted;
  for (std::sregex_iterator match(text.begin(), text.end(), quotation), end; match != end; ++match) {
    const std::string found = trimmed((*match)[1]);
    if (std::any_of(found.begin(), found.end(), [](unsigned char byte) { return byte >= 0xE4 && byte <= 0xE9; }))
      quoted.insert(found);
  }
  return quoted;
}

TEST(DocumentedTextsTest, ReadmeQuotesOnlyTheProgramsOwnTexts) {
  const auto quoted = quotedInterfaceTexts(TOVALEN_README, std::regex(R"(\*\*([^*\n]+)\*\*)"));
  EXPECT_GE(quoted.size(), 6u) << "README quotes fewer interface texts than it did";
  EXPECT_THAT(quoted, testing::IsSubsetOf(programTexts()));
}

TEST(DocumentedTextsTest, TheManualPageQuotesOnlyTheProgramsOwnTexts) {
  const auto quoted = quotedInterfaceTexts(TOVALEN_MANUAL_PAGE, std::regex(R"(\n\.B ([^\n]+))"));
  EXPECT_GE(quoted.size(), 4u) << "the manual page quotes fewer interface texts than it did";
  EXPECT_THAT(quoted, testing::IsSubsetOf(programTexts()));
}

// The lock's places as the program makes them, in a runtime directory and a
// shared one of the test's own.
class DocumentedFilesTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "tovalen-documented.XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    base_ = pattern;
    std::filesystem::create_directory(base_ / "run");
    std::filesystem::permissions(base_ / "run", std::filesystem::perms::owner_all);
    std::filesystem::create_directory(base_ / "tmp");
  }
  void TearDown() override { std::filesystem::remove_all(base_); }

  // The file the program's lock makes, written as README writes it: the
  // runtime directory as $XDG_RUNTIME_DIR, the shared one as /tmp, the user's
  // id as <uid>.
  std::string documentedLockFile(bool withRuntimeDirectory) {
    const pages::LockPlaces places{withRuntimeDirectory ? (base_ / "run").string() : "", (base_ / "tmp").string()};
    pages::SingleInstanceLock lock(places);
    EXPECT_TRUE(lock.acquire("tovalen"));
    EXPECT_EQ(lock.unguardedReason(), "");
    std::vector<std::filesystem::path> made;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(base_))
      if (entry.is_regular_file()) made.push_back(entry.path());
    if (made.size() != 1) {
      ADD_FAILURE() << made.size() << " files made for the lock";
      return {};
    }
    std::string path = made.front().string();
    std::filesystem::remove(made.front());
    replace(path, (base_ / "run").string(), "$XDG_RUNTIME_DIR");
    replace(path, (base_ / "tmp").string(), "/tmp");
    replace(path, "-" + std::to_string(geteuid()) + "/", "-<uid>/");
    return path;
  }

  static void replace(std::string& text, const std::string& from, const std::string& to) {
    if (const auto at = text.find(from); at != std::string::npos) text.replace(at, from.size(), to);
  }

  std::filesystem::path base_;
};

TEST_F(DocumentedFilesTest, ReadmeNamesTheLockWhereTheProgramMakesIt) {
  const std::string readme = textOf(TOVALEN_README);
  for (const bool withRuntimeDirectory : {true, false}) {
    const std::string lockFile = documentedLockFile(withRuntimeDirectory);
    ASSERT_FALSE(lockFile.empty());
    EXPECT_THAT(readme, testing::HasSubstr("`" + lockFile + "`"));
  }
  EXPECT_EQ(documentedLockFile(true), "$XDG_RUNTIME_DIR/tovalen.lock") << "the manual page names it so";
  EXPECT_THAT(textOf(TOVALEN_MANUAL_PAGE), testing::HasSubstr(".IB $XDG_RUNTIME_DIR /tovalen.lock"));
}

// docs/windows.md's table of the Windows program: one row per file group,
// the first cell naming them (`win32/main.cpp`, `application.cpp`).
TEST(WindowsDocTest, TheProgramsTableNamesEveryFileOfItAndNoOther) {
  std::set<std::string> named;
  std::istringstream doc(textOf(TOVALEN_WINDOWS_DOC));
  const std::regex quotedName("`([^`]+)`");
  for (std::string line; std::getline(doc, line);) {
    if (line.rfind("| `win32/", 0) != 0) continue;
    const std::string firstCell = line.substr(1, line.find('|', 1) - 1);
    for (std::sregex_iterator match(firstCell.begin(), firstCell.end(), quotedName), end; match != end; ++match) {
      const std::string name = (*match)[1];
      named.insert(name.find('/') == std::string::npos ? "win32/" + name : name);
    }
  }
  std::set<std::string> sources;
  for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(TOVALEN_SOURCE_DIR) / "win32"))
    if (entry.path().extension() == ".cpp") sources.insert("win32/" + entry.path().filename().string());
  EXPECT_EQ(named, sources);
}

}  // namespace
}  // namespace ui
