#include "win32/calc_page.h"

#include <array>
#include <string>

#include "pages/calc_page.h"
#include "res/resource_ids.h"
#include "res/strings.h"
#include "win32/prompter.h"
#include "win32/text.h"

namespace win32 {
namespace {

using namespace ui::ids::calc_page;

constexpr std::array<int, 4> kInputs{kBitRate.value, kCameras.value, kHoursPerDay.value, kDays.value};

}  // namespace

HWND CalcPage::create(HINSTANCE instance, HWND parent) {
  return createChild(instance, ui::ids::kCalcPageDialog, parent);
}

INT_PTR CalcPage::onMessage(UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      onInit();
      return FALSE;
    case WM_COMMAND:
      if (HIWORD(wParam) != BN_CLICKED) return FALSE;
      // Enter in an input calculates; elsewhere on the page it does nothing.
      if (LOWORD(wParam) == kCalculate.value || (LOWORD(wParam) == IDOK && focusInAnInput())) calculate();
      return TRUE;
    default:
      return FALSE;
  }
}

void CalcPage::onInit() {
  for (std::size_t i = 0; i < kInputs.size(); ++i)
    SetWindowTextW(item(kInputs[i]), fromUtf8(pages::kDefaultCalcInputs[i]).c_str());
}

bool CalcPage::focusInAnInput() const {
  const HWND focus = GetFocus();
  for (const int input : kInputs)
    if (focus == item(input)) return true;
  return false;
}

void CalcPage::calculate() {
  std::array<std::string, 4> texts;
  for (std::size_t i = 0; i < texts.size(); ++i) texts[i] = toGbk(itemText(kInputs[i]));
  Prompter prompter(this);
  pages::calculate(texts, prompter, [this](const pages::CalcOutcome& outcome) {
    SetWindowTextW(item(kGigabytes.value), fromUtf8(outcome.gigabytes).c_str());
    SetWindowTextW(item(kTerabytes.value), fromUtf8(outcome.terabytes).c_str());
  });
}

}  // namespace win32
