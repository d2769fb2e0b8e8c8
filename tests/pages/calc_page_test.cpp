// The calculator page's rule: the inputs as typed give both result texts, or
// no figures and the complaint about the first invalid input.
#include "pages/calc_page.h"

#include <gtest/gtest.h>

namespace pages {
namespace {

TEST(CalcPageTest, ValidInputsGiveBothFiguresAndNoComplaint) {
  const CalcOutcome outcome = calculate({"2000", "16", "24", "30"});
  EXPECT_EQ(outcome.gigabytes, "9887");
  EXPECT_EQ(outcome.terabytes, "9.89");
  EXPECT_EQ(outcome.complaint, std::nullopt);
}

TEST(CalcPageTest, TheFirstInvalidInputIsNamedAndNoFigureIsGiven) {
  const CalcOutcome outcome = calculate({"2000", "sixteen", "24", "x"});
  EXPECT_EQ(outcome.gigabytes, "");
  EXPECT_EQ(outcome.terabytes, "");
  EXPECT_EQ(outcome.complaint, "第 2 项的数据非法，不是数字 ,仔细检查！");
}

}  // namespace
}  // namespace pages
