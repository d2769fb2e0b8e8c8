// Fuzz target for the calculator's inputs: whatever bytes the four inputs
// hold, the page gets either the number of the first invalid input or two
// figures that are right. One input is four texts, each a length byte
// followed by that many bytes (missing bytes make a text shorter).
#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "calc/disk_size.h"
#include "invariant.h"

namespace {

bool allDigits(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The value of an all-digit text when it fits a signed 32-bit integer,
// judged on its digits rather than by converting it.
std::optional<long double> int32Value(std::string_view text) {
  if (!allDigits(text)) return std::nullopt;
  text.remove_prefix(std::min(text.find_first_not_of('0'), text.size()));
  constexpr std::string_view kLargest = "2147483647";
  if (text.size() > kLargest.size() || (text.size() == kLargest.size() && text > kLargest)) return std::nullopt;
  return text.empty() ? 0.0L : std::stold(std::string(text));
}

// Digits, then a point and `decimals` digits when there are any.
bool isUnsignedFixed(std::string_view text, std::size_t decimals) {
  const std::size_t fraction = decimals == 0 ? 0 : decimals + 1;
  if (text.size() <= fraction) return false;
  const std::string_view whole = text.substr(0, text.size() - fraction);
  return allDigits(whole) && (fraction == 0 || (text[whole.size()] == '.' && allDigits(text.substr(whole.size() + 1))));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  std::array<std::string_view, 4> typed;
  std::array<std::string_view, 4> limited;
  std::array<std::optional<long double>, 4> values;
  for (std::size_t i = 0; i < limited.size(); ++i) {
    const std::size_t length = rest.empty() ? 0 : static_cast<unsigned char>(rest.front());
    rest.remove_prefix(std::min<std::size_t>(1, rest.size()));
    typed[i] = rest.substr(0, length);
    rest.remove_prefix(typed[i].size());
    limited[i] = calc::limitInput(typed[i]);
    require(limited[i].data() == typed[i].data() && limited[i].size() == std::min<std::size_t>(typed[i].size(), 49),
            "the first 49 bytes are judged");
    values[i] = int32Value(limited[i]);
  }

  const auto outcome = calc::compute(typed[0], typed[1], typed[2], typed[3]);
  const auto firstInvalid = std::find(values.begin(), values.end(), std::nullopt);
  if (firstInvalid != values.end()) {
    const auto* invalid = std::get_if<calc::InvalidInput>(&outcome);
    require(invalid && invalid->item == firstInvalid - values.begin() + 1, "the first invalid input is named");
    return 0;
  }
  const auto* result = std::get_if<calc::DiskSizeResult>(&outcome);
  require(result != nullptr, "valid inputs give figures");
  require(isUnsignedFixed(result->gigabytes, 0) && isUnsignedFixed(result->terabytes, 2),
          "figures are unsigned decimals");

  // The formula, with more precision than the program uses: the
  // figures may differ from it by rounding only, never by a wrap or a sign.
  const auto [rate, cameras, hours, days] = values;
  const long double total = *days * *cameras * (*hours * std::trunc(*rate / 8) * 3600 / 1048576);
  const long double gigabytes = std::stold(result->gigabytes);
  const long double terabytes = std::stold(result->terabytes);
  const long double slack = 1e-12L * total;
  require(std::fabs(gigabytes - std::trunc(total)) <= 1 + slack, "GB figure is the total, truncated");
  require(std::fabs(terabytes * 1000 - total) <= 5 + slack, "TB figure is the total over 1000, to two decimals");
  return 0;
}
