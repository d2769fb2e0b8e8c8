// The site plan's dialog in Win32: shows what pages::PlanDialog does, a
// preview of every plan row with the link's answer and its problems, and
// under it what OK will do or why it cannot be pressed.
#pragma once

#include <windows.h>

#include "pages/camera_page.h"
#include "pages/site_plan.h"

namespace win32 {

// Runs the dialog modally over `owner`; the plan is sent when the user
// confirms it.
void runPlanDialog(HINSTANCE instance, HWND owner, pages::CameraPage& page, pages::SitePlan plan);

}  // namespace win32
