// One field of the CSV files the program writes and reads (RFC 4180), with
// the export's guard against formulas: anyone on the network can choose a MAC
// text, and a spreadsheet would run one that begins like a formula.
#pragma once

#include <string>
#include <string_view>

namespace pages {

// The characters a guarded cell may begin with: a `'` is put before them.
inline constexpr std::string_view kFormulaStarts = "=+-@\t\r";

// `text` guarded, then quoted when it holds a comma, a quote or a line break.
std::string csvField(std::string_view text);
// The reverse of the guard: a leading `'` before a formula character goes.
std::string_view withoutFormulaGuard(std::string_view cell);

}  // namespace pages
