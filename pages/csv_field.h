// One field of the CSV files the program writes and reads (RFC 4180), and
// the guard against formulas that the export and the clipboard share: anyone
// on the network can choose a MAC text, and a spreadsheet would run one that
// begins like a formula or a command.
#pragma once

#include <string>
#include <string_view>

namespace pages {

// Whether a spreadsheet would take `text` (UTF-8) for a formula or a command:
// it begins, after any white space, with = + - @ | or one of their
// full-width forms, or with a tab or a carriage return. A text beginning
// with the guard's own apostrophe counts too, so that the guard can be told
// from the text and taken off again when the file is read back.
bool needsFormulaGuard(std::string_view text);
// `text` with a leading apostrophe when it needs the guard: a spreadsheet
// then shows it as text.
std::string guardedCell(std::string_view text);
// The guarded text, quoted when it holds a comma, a quote or a line break.
std::string csvField(std::string_view text);
// The reverse of the guard: the apostrophe goes where the rest needs it.
std::string_view withoutFormulaGuard(std::string_view cell);

}  // namespace pages
