// What the calculator page does, whatever toolkit draws it: the four inputs,
// as typed, become the two result texts or the complaint about the first
// invalid input.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>

#include "calc/disk_size.h"
#include "pages/prompter.h"

namespace pages {

// What the four inputs hold when the page opens.
inline constexpr std::array<const char*, 4> kDefaultCalcInputs = calc::kDefaultInputs;

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

// The calculate button: `show` puts the result texts in their boxes, then
// the complaint, if any, is told.
void calculate(const std::array<std::string, 4>& gbkInputs, Prompter& prompter,
               const std::function<void(const CalcOutcome&)>& show);

}  // namespace pages
