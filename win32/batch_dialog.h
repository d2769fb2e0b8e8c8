// Re-addresses the selected cameras at once: a start address and a gateway,
// proposed as on the page, and a preview of each camera's new address. OK
// asks for confirmation, or says that the range runs out and stays open.
#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

#include "pages/camera_page.h"

namespace win32 {

struct AcceptedBatch {
  std::vector<pages::CameraPage::BatchItem> items;
  std::uint32_t gateway = 0;
};

// Runs the dialog modally over `owner`; what to send once the user confirmed.
std::optional<AcceptedBatch> askForBatch(HINSTANCE instance, HWND owner, const pages::CameraPage& page,
                                         std::span<const std::size_t> selectedRows);

}  // namespace win32
