#include "pages/csv_records.h"

#include <algorithm>
#include <array>
#include <utility>

namespace pages {
namespace {

bool isBlank(const CsvRecord& record) {
  return std::all_of(record.fields.begin(), record.fields.end(), [](const std::string& field) {
    return field.find_first_not_of(" \t") == std::string::npos;
  });
}

}  // namespace

char detectSeparator(std::string_view text) {
  constexpr std::array<char, 3> kSeparators{',', ';', '\t'};
  std::array<std::size_t, 3> counts{};
  bool quoted = false;
  bool lineHasText = false;
  for (const char c : text) {
    if (c == '"') quoted = !quoted;
    if (quoted) continue;
    if (c == '\n' && lineHasText) break;
    lineHasText = lineHasText || (c != '\n' && c != '\r' && c != ' ');
    for (std::size_t i = 0; i < kSeparators.size(); ++i) counts[i] += c == kSeparators[i];
  }
  return kSeparators[std::max_element(counts.begin(), counts.end()) - counts.begin()];
}

void forEachCsvRecord(std::string_view text, char separator, const std::function<bool(CsvRecord&&)>& take) {
  std::size_t line = 1;
  std::size_t at = 0;
  while (at < text.size()) {
    CsvRecord record{line, {std::string()}, false};
    bool quoted = false;
    bool recordEnded = false;
    while (at < text.size() && !recordEnded) {
      const char c = text[at++];
      if (quoted) {
        if (c == '"' && at < text.size() && text[at] == '"') {
          record.fields.back() += '"';
          ++at;
        } else if (c == '"') {
          quoted = false;
        } else {
          line += c == '\n';
          record.fields.back() += c;
        }
      } else if (c == '"' && record.fields.back().empty()) {
        quoted = true;
      } else if (c == separator) {
        record.fields.emplace_back();
      } else if (c == '\n' || c == '\r') {
        if (c == '\r' && at < text.size() && text[at] == '\n') ++at;
        ++line;
        recordEnded = true;
      } else {
        record.fields.back() += c;
      }
    }
    record.unclosedQuote = quoted;
    if (!isBlank(record) && !take(std::move(record))) return;
  }
}

}  // namespace pages
