#include "pages/list_export.h"

#include <algorithm>
#include <array>

#include "pages/csv_field.h"
#include "res/strings.h"

namespace pages {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

// A cell on one line of tab-separated text: tabs and line breaks from the
// wire would split it, so they become spaces.
std::string copiedCell(std::string text) {
  text = guardedCell(text);
  std::replace_if(text.begin(), text.end(), [](char c) { return c == '\t' || c == '\r' || c == '\n'; }, ' ');
  return text;
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

std::string copiedText(std::span<const CameraRow> rows, const GbkDecoder& decode) {
  return lines(rows, decode, "\t", copiedCell);
}

std::string csvText(std::span<const CameraRow> rows, const GbkDecoder& decode) {
  return "\xEF\xBB\xBF" + lines(rows, decode, ",", [](const std::string& cell) { return csvField(cell); });
}

}  // namespace pages
