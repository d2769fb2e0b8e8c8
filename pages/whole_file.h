// Writes a file so that it is either wholly the new text or, when anything
// fails, what it was before: the text goes to a file of its own beside it,
// which then takes its place. A full disk never leaves half a file.
#pragma once

#include <string>
#include <string_view>

namespace pages {

struct WholeFileResult {
  bool ok = false;
  // On failure: no file of that name was there, so none was kept.
  bool replacedNothing = false;
  std::string error;  // the system's words, for the log
};

// `path` is UTF-8.
WholeFileResult writeWholeFile(const std::string& path, std::string_view contents);

}  // namespace pages
