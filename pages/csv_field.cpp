#include "pages/csv_field.h"

namespace pages {
namespace {

bool needsGuard(std::string_view text) {
  return !text.empty() && kGuardedStarts.find(text.front()) != std::string_view::npos;
}

}  // namespace

std::string csvField(std::string_view text) {
  const std::string field = needsGuard(text) ? "'" + std::string(text) : std::string(text);
  if (field.find_first_of(",\"\r\n") == std::string::npos) return field;
  std::string quoted = "\"";
  for (const char c : field) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

std::string_view withoutFormulaGuard(std::string_view cell) {
  if (cell.size() >= 2 && cell.front() == '\'' && needsGuard(cell.substr(1))) cell.remove_prefix(1);
  return cell;
}

}  // namespace pages
