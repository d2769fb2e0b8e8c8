// The disk-size estimate behind the calculator page: from a camera's bit rate,
// the number of cameras, the recording hours per day and the days to keep, the
// disk space needed in GB (1 GB = 2^20 KB) and roughly in TB (1 TB = 1000 GB,
// as disk makers count). No window is involved.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <variant>

namespace calc {

// Bytes of an input that are judged and converted (a double-byte character
// counts as two); the rest of a longer text is ignored.
inline constexpr std::size_t kInputByteLimit = 49;

// What the four inputs hold when the page opens: 2000 kbps, 16 cameras,
// 24 hours a day, 30 days.
inline constexpr std::array<const char*, 4> kDefaultInputs{"2000", "16", "24", "30"};

struct DiskSizeResult {
  std::string gigabytes;  // whole GB, truncated toward zero
  std::string terabytes;  // TB with two decimals
};

struct InvalidInput {
  int item;  // 1-based number of the first invalid input
};

using ComputeOutcome = std::variant<DiskSizeResult, InvalidInput>;

// The inputs are bytes, in the order bit rate (kbps), cameras, hours per day,
// days; only the first kInputByteLimit bytes of each count. An input is valid when all its bytes are ASCII digits and its value
// fits a signed 32-bit integer; an empty input counts as 0. The first invalid
// input is named and the later ones are not looked at.
ComputeOutcome compute(std::string_view bitRate, std::string_view cameras, std::string_view hoursPerDay,
                       std::string_view days);

// The first kInputByteLimit bytes of an input (a double-byte character counts
// as two).
std::string_view limitInput(std::string_view text);

}  // namespace calc
