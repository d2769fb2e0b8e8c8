// Splitting a spreadsheet's CSV text into records (RFC 4180): quoted fields
// with doubled quotes, separators and line breaks inside them; CRLF or LF.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace pages {

struct CsvRecord {
  std::size_t line = 0;  // where the record begins, the first line being 1
  std::vector<std::string> fields;
  bool unclosedQuote = false;  // a quoted field ran to the end of the text
};

// Comma, semicolon or tab, whichever the first line that is not empty holds
// most of outside quotes (spreadsheets write semicolons where the decimal
// mark is a comma, and tabs when saving "text"); a comma when it holds none.
char detectSeparator(std::string_view text);

// Hands each record to `take` in order, lines holding nothing but separators
// and spaces left out, until the text ends or `take` returns false.
void forEachCsvRecord(std::string_view text, char separator, const std::function<bool(CsvRecord&&)>& take);

}  // namespace pages
