#include "pages/list_export.h"

#include <algorithm>
#include <array>

#include "res/strings.h"

namespace pages {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

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

// A cell on one line of tab-separated text: tabs and line breaks from the
// wire would split it, so they become spaces.
std::string copiedCell(std::string text) {
  text = guardedCell(std::move(text));
  std::replace_if(text.begin(), text.end(), [](char c) { return c == '\t' || c == '\r' || c == '\n'; }, ' ');
  return text;
}

std::string csvField(std::string text) {
  const std::string field = guardedCell(std::move(text));
  if (field.find_first_of(",\"\r\n") == std::string::npos) return field;
  std::string quoted = "\"";
  for (const char c : field) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

template <typename Cell>
std::string lines(std::span<const CameraRow> rows, const GbkDecoder& decode, std::string_view separator,
                  Cell cell) {
  std::string text;
  const auto line = [&](const std::array<std::string, 3>& cells) {
    for (std::size_t column = 0; column < cells.size(); ++column) {
      if (column > 0) text += separator;
      text += cell(cells[column]);
    }
    text += kLineEnd;
  };
  const auto& headers = ui::strings::kCameraColumns;
  line({headers[0], headers[1], headers[2]});
  for (const CameraRow& row : rows) line({decode(row.mac), decode(row.ip), decode(row.gateway)});
  return text;
}

}  // namespace

std::string guardedCell(std::string cell) {
  const std::string_view text = cell;
  const bool tabOrBreakFirst = !text.empty() && (text.front() == '\t' || text.front() == '\r');
  if (tabOrBreakFirst || startsLikeAFormula(withoutLeadingSpace(text))) cell.insert(0, 1, '\'');
  return cell;
}

std::string copiedText(std::span<const CameraRow> rows, const GbkDecoder& decode) {
  return lines(rows, decode, "\t", copiedCell);
}

std::string csvText(std::span<const CameraRow> rows, const GbkDecoder& decode) {
  return "\xEF\xBB\xBF" + lines(rows, decode, ",", csvField);
}

}  // namespace pages
