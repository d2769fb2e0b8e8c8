// Strict number reading for command-line values: no sign, no spaces, nothing
// left over.
#pragma once

#include <charconv>
#include <optional>
#include <string_view>

namespace camerasim {

template <typename Number>
std::optional<Number> parseWholeNumber(std::string_view text, int base = 10) {
  Number value{};
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value, base);
  if (text.empty() || error != std::errc{} || stop != end) return std::nullopt;
  return value;
}

}  // namespace camerasim
