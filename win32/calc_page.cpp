#include "win32/calc_page.h"

#include <array>
#include <string>

#include "calc/disk_size.h"
#include "ui/res/resource_ids.h"
#include "ui/res/strings.h"
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
    SetWindowTextW(item(kInputs[i]), fromUtf8(calc::kDefaultInputs[i]).c_str());
}

bool CalcPage::focusInAnInput() const {
  const HWND focus = GetFocus();
  for (const int input : kInputs)
    if (focus == item(input)) return true;
  return false;
}

void CalcPage::calculate() {
  SetWindowTextW(item(kGigabytes.value), L"");
  SetWindowTextW(item(kTerabytes.value), L"");
  std::array<std::string, 4> texts;
  for (std::size_t i = 0; i < texts.size(); ++i) texts[i] = toGbk(itemText(kInputs[i]));
  const calc::ComputeOutcome outcome = calc::compute(texts[0], texts[1], texts[2], texts[3]);
  if (const auto* invalid = std::get_if<calc::InvalidInput>(&outcome)) {
    MessageBoxW(window(), fromUtf8(ui::strings::invalidInput(invalid->item)).c_str(),
                fromUtf8(ui::strings::kNoticeCaption).c_str(), MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  const auto& result = std::get<calc::DiskSizeResult>(outcome);
  SetWindowTextW(item(kGigabytes.value), fromUtf8(result.gigabytes).c_str());
  SetWindowTextW(item(kTerabytes.value), fromUtf8(result.terabytes).c_str());
}

}  // namespace win32
