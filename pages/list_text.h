// The camera list as text for other programs, and the notices that name its
// cameras: the selected rows for the clipboard (tab-separated, for pasting into a spreadsheet) and the whole list
// as a CSV file (UTF-8 with a byte-order mark, which the spreadsheet programs
// installers use on Windows need to read Chinese, and RFC 4180 quoting).
// Texts are shown as the list shows them: the front-end's GBK decoder turns
// the wire's bytes into UTF-8.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "pages/camera_page.h"

namespace pages {

using GbkDecoder = std::function<std::string(std::string_view gbk)>;

// The column headers, then each of `rows` (in list order), a line each.
std::string copiedText(const CameraPage& page, std::span<const std::size_t> rows, const GbkDecoder& decode);
// The headers and every row of the list.
std::string csvText(const CameraPage& page, const GbkDecoder& decode);

// Apply's warning that `newAddress` is taken, naming the camera or the PC.
std::string conflictNotice(const CameraPage::AddressConflict& conflict, std::uint32_t newAddress,
                           const GbkDecoder& decode);
// The question whether to send again to the cameras of a batch that did not
// answer, a line each with the address it was sent.
std::string unansweredNotice(std::span<const CameraPage::BatchItem> unanswered, const GbkDecoder& decode);

}  // namespace pages
