// The interface texts that README and the manual page quote are the
// program's own: a text changed in the program and not in the documents (or
// the other way round) fails here. README quotes them in bold, the manual
// page with .B; any such quotation with a Chinese character in it counts.
#include <gmock/gmock.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <string>

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
       {&aboutTemplate(), &mainWindowTemplate(), &cameraPageTemplate(), &calcPageTemplate(), &batchTemplate()}) {
    texts.insert(trimmed(dialog->caption));
    for (const ControlSpec& control : dialog->controls) texts.insert(trimmed(control.text));
  }
  for (const char* text : {strings::kAboutMenuEntry, strings::kCameraTab, strings::kCalculatorTab,
                           strings::kNoticeCaption, strings::kAlreadyRunning, strings::kConfirmChange,
                           strings::kCopyMenuEntry, strings::kSelectAllMenuEntry, strings::kExportMenuEntry,
                           strings::kBatchMenuEntry})
    texts.insert(trimmed(text));
  texts.insert(strings::kCameraColumns.begin(), strings::kCameraColumns.end());
  texts.insert(strings::invalidInput(1));
  return texts;
}

// Every match of `quotation`'s first group that holds a Chinese character
// (UTF-8 lead bytes 0xE4 to 0xE9 cover the common ideographs).
std::set<std::string> quotedInterfaceTexts(const char* path, const std::regex& quotation) {
  std::ifstream file(path);
  EXPECT_TRUE(file) << "cannot read " << path;
  const std::string text{std::istreambuf_iterator<char>(file), {}};
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

}  // namespace
}  // namespace ui
