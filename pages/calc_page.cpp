#include "pages/calc_page.h"

#include <variant>

#include "calc/disk_size.h"
#include "res/strings.h"

namespace pages {

CalcOutcome calculate(const std::array<std::string, 4>& gbkInputs) {
  const calc::ComputeOutcome outcome = calc::compute(gbkInputs[0], gbkInputs[1], gbkInputs[2], gbkInputs[3]);
  if (const auto* invalid = std::get_if<calc::InvalidInput>(&outcome))
    return {{}, {}, ui::strings::invalidInput(invalid->item)};
  const auto& result = std::get<calc::DiskSizeResult>(outcome);
  return {result.gigabytes, result.terabytes, std::nullopt};
}

void calculate(const std::array<std::string, 4>& gbkInputs, Prompter& prompter,
               const std::function<void(const CalcOutcome&)>& show) {
  const CalcOutcome outcome = calculate(gbkInputs);
  show(outcome);
  if (outcome.complaint) prompter.tell({*outcome.complaint, ui::strings::kNoticeCaption, Icon::Exclamation});
}

}  // namespace pages
