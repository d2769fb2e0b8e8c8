// What the calculator page does, whatever toolkit draws it: the four inputs,
// as typed, become the two result texts or the complaint about the first
// invalid input.
#pragma once

#include <array>
#include <optional>
#include <string>

namespace pages {

struct CalcOutcome {
  // The texts of the GB and TB boxes; both empty when an input is invalid.
  std::string gigabytes;
  std::string terabytes;
  // The message naming the first invalid input (UTF-8), to show in a box.
  std::optional<std::string> complaint;
};

// The inputs in GBK (bit rate, cameras, hours per day, days), as their boxes
// hold them.
CalcOutcome calculate(const std::array<std::string, 4>& gbkInputs);

}  // namespace pages
