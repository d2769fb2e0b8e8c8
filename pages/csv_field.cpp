#include "pages/csv_field.h"

#include <algorithm>
#include <array>

namespace pages {
namespace {

bool startsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

// White space a spreadsheet skips before it looks for a formula: ASCII, the
// no-break space and the ideographic space.
std::string_view withoutLeadingSpace(std::string_view text) {
  for (;;) {
    if (!text.empty() && std::string_view(" \t\r\n").find(text.front()) != std::string_view::npos)
      text.remove_prefix(1);
    else if (startsWith(text, "\xC2\xA0"))
      text.remove_prefix(2);
    else if (startsWith(text, "\xE3\x80\x80"))
      text.remove_prefix(3);
    else
      return text;
  }
}

// = + - @ | and their full-width forms (U+FF1D, U+FF0B, U+FF0D, U+FF20,
// U+FF5C), which some spreadsheets read as the ASCII ones.
bool startsLikeAFormula(std::string_view text) {
  static constexpr std::array<std::string_view, 5> kFullWidth{"\xEF\xBC\x9D", "\xEF\xBC\x8B", "\xEF\xBC\x8D",
                                                             "\xEF\xBC\xA0", "\xEF\xBD\x9C"};
  if (text.empty()) return false;
  if (std::string_view("=+-@|").find(text.front()) != std::string_view::npos) return true;
  return std::any_of(kFullWidth.begin(), kFullWidth.end(), [&](std::string_view form) { return startsWith(text, form); });
}

}  // namespace

bool needsFormulaGuard(std::string_view text) {
  if (text.empty()) return false;
  return text.front() == '\t' || text.front() == '\r' || text.front() == '\'' ||
         startsLikeAFormula(withoutLeadingSpace(text));
}

std::string guardedCell(std::string_view text) {
  return needsFormulaGuard(text) ? "'" + std::string(text) : std::string(text);
}

std::string csvField(std::string_view text) {
  const std::string field = guardedCell(text);
  if (field.find_first_of(",\"\r\n") == std::string::npos) return field;
  std::string quoted = "\"";
  for (const char c : field) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

std::string_view withoutFormulaGuard(std::string_view cell) {
  if (cell.size() >= 2 && cell.front() == '\'' && needsFormulaGuard(cell.substr(1))) cell.remove_prefix(1);
  return cell;
}

}  // namespace pages
