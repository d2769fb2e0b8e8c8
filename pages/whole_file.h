// Files as the pages write and read them, through the system's own calls
// (the C++ streams would more than double the Windows program). A written
// file is either wholly the new text or, when anything fails, what it was
// before: the text goes to a file of its own beside it, which then takes its
// place. A full disk never leaves half a file.
#pragma once

#include <cstddef>
#include <optional>
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

// The first `maxBytes` of the file at `path` (UTF-8), or all of a shorter
// one; nothing when it cannot be opened or read.
std::optional<std::string> readFileStart(const std::string& path, std::size_t maxBytes);

}  // namespace pages
