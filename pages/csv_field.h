// One field of the CSV files the program writes and reads (RFC 4180), with
// the export's guard against formulas: anyone on the network can choose a MAC
// text, and a spreadsheet would run one that begins like a formula.
#pragma once

#include <string>
#include <string_view>

namespace pages {

// The characters a formula may begin with: a `'` is put before them. A text
// that begins with a `'` gets one too, so that the guard can be told from
// the text and taken off again when the file is read back.
inline constexpr std::string_view kGuardedStarts = "=+-@\t\r'";

// `text` guarded, then quoted when it holds a comma, a quote or a line break.
std::string csvField(std::string_view text);
// The reverse of the guard: a leading `'` before one of kGuardedStarts goes.
std::string_view withoutFormulaGuard(std::string_view cell);

}  // namespace pages
