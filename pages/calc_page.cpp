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

}  // namespace pages
