#include "calc/disk_size.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

namespace calc {
namespace {

constexpr std::int32_t kBitsPerByte = 8;
constexpr double kSecondsPerHour = 3600.0;
constexpr double kGigabytesPerKilobyte = 9.5367431640625e-07;  // 2^-20
constexpr double kTerabytesPerGigabyte = 0.001;

// The value of an all-digit text, or nothing when the text holds another byte
// or its value does not fit an int32 (leading zeros are harmless).
std::optional<std::int32_t> parseCount(std::string_view text) {
  std::int64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
  }
  return static_cast<std::int32_t>(value);
}

// "%.<decimals>f" of the value, always with a '.' point: to_chars ignores the
// global locale, which the GUI toolkit sets from the user's environment.
std::string fixedText(double value, int decimals) {
  // Room for the integer digits of any finite double, a sign, the point and
  // the decimals used here.
  std::array<char, std::numeric_limits<double>::max_exponent10 + 8> buffer{};
  const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed,
                                 decimals).ptr;
  return std::string(buffer.data(), end);
}

}  // namespace

ComputeOutcome compute(std::string_view bitRate, std::string_view cameras, std::string_view hoursPerDay,
                       std::string_view days) {
  const std::array<std::string_view, 4> texts{bitRate, cameras, hoursPerDay, days};
  std::array<std::int32_t, 4> values{};
  for (std::size_t i = 0; i < texts.size(); ++i) {
    const auto value = parseCount(limitInput(texts[i]));
    if (!value) return InvalidInput{static_cast<int>(i) + 1};
    values[i] = *value;
  }
  const auto [rate, cameraCount, hours, dayCount] = values;

  // Whole kilobytes per second first, truncated by the integer division
  // (7 kbps gives 0): the estimate has always counted so, and installers
  // compare its figures with earlier ones. Every product after that is taken
  // in double, in this order, so that none can overflow and each figure is
  // rounded the same way every time (9887 and 9.89 for the defaults).
  const std::int32_t kilobytesPerSecond = rate / kBitsPerByte;
  const double gigabytesPerCameraDay =
      ((static_cast<double>(hours) * static_cast<double>(kilobytesPerSecond)) * kSecondsPerHour) *
      kGigabytesPerKilobyte;
  const double totalGigabytes =
      (static_cast<double>(dayCount) * static_cast<double>(cameraCount)) * gigabytesPerCameraDay;

  // The whole part is shown in full even beyond the int32 range, never wrapped.
  return DiskSizeResult{fixedText(std::trunc(totalGigabytes), 0),
                        fixedText(totalGigabytes * kTerabytesPerGigabyte, 2)};
}

std::string_view limitInput(std::string_view text) { return text.substr(0, kInputByteLimit); }

}  // namespace calc
