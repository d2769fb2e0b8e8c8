// The batch dialog in Win32: shows what pages::BatchDialog does, a start
// address and a gateway proposed as on the page, and a preview of each
// selected camera's new address, planned again at every edit.
#pragma once

#include <windows.h>

#include <cstddef>
#include <span>

#include "pages/camera_page.h"

namespace win32 {

// Runs the dialog modally over `owner`; the batch starts when the user
// confirms it.
void runBatchDialog(HINSTANCE instance, HWND owner, pages::CameraPage& page, std::span<const std::size_t> selectedRows);

}  // namespace win32
