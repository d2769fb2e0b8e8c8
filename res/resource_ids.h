// Every resource and control of the program by name, in the spirit of a
// resource header: the templates, the windows, their tests and the Windows
// resources use these names, never the numbers. The same control numbers
// recur on different dialogs (1001-1006, 1018), each time for the dialog in
// question.
#pragma once

#include "res/dialog_template.h"

namespace ui::ids {

// Resources.
inline constexpr int kAboutDialog = 100;
inline constexpr int kAboutMenuString = 101;
inline constexpr int kMainDialog = 102;
inline constexpr int kAppIcon = 128;
inline constexpr int kCameraPageDialog = 129;
inline constexpr int kCalcPageDialog = 235;
inline constexpr int kBatchDialog = 236;
inline constexpr int kNetworkCheckDialog = 237;
inline constexpr int kPlanDialog = 238;
// The About entry's system command; the system keeps the low four bits.
inline constexpr int kAboutCommand = 0x0010;

using enum ControlKind;

namespace about_box {
inline constexpr ControlId<PushButton> kOk{1};
}  // namespace about_box

namespace main_window {
inline constexpr ControlId<PushButton> kClose{1};  // the window's default button
inline constexpr ControlId<TabControl> kTabs{1000};
}  // namespace main_window

namespace camera_page {
inline constexpr ControlId<PushButton> kHiddenOk{1}, kSearch{1018}, kApply{1019};
inline constexpr ControlId<Edit> kMac{1001}, kIp{1002}, kGateway{1003};
inline constexpr ControlId<ListView> kCameraList{1009};
inline constexpr ControlId<IpAddress> kNewAddress{1050}, kNewGateway{1051};
// The list's own menu entries, as commands.
inline constexpr int kCopyCommand = 32771, kSelectAllCommand = 32772, kExportCommand = 32773, kBatchCommand = 32774,
                     kNetworkCheckCommand = 32775, kPlanCommand = 32776;
inline constexpr int kOpenWebPageCommand = 32780;
}  // namespace camera_page

namespace calc_page {
inline constexpr ControlId<PushButton> kHiddenOk{1}, kCalculate{1018};
// The four inputs, then the two results.
inline constexpr ControlId<Edit> kBitRate{1001}, kCameras{1002}, kHoursPerDay{1003}, kDays{1004};
inline constexpr ControlId<Edit> kGigabytes{1005}, kTerabytes{1006};
}  // namespace calc_page

namespace batch_dialog {
inline constexpr ControlId<PushButton> kOk{1}, kCancel{2};
inline constexpr ControlId<IpAddress> kStart{1050}, kGateway{1051};
inline constexpr ControlId<ListView> kPreview{1009};
}  // namespace batch_dialog

namespace plan_dialog {
inline constexpr ControlId<PushButton> kOk{1}, kCancel{2};
inline constexpr ControlId<ListView> kPreview{1009};
// What OK will do, or why it cannot be pressed.
inline constexpr ControlId<Static> kSummary{1020};
}  // namespace plan_dialog

namespace network_check_dialog {
// Close is IDCANCEL: Esc and the window's close box press it.
inline constexpr ControlId<PushButton> kClose{2}, kCopy{1018}, kFix{1019};
inline constexpr ControlId<TextView> kReport{1020};
}  // namespace network_check_dialog

}  // namespace ui::ids
