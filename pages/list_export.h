// The camera list as text for other programs: the selected rows for the
// clipboard (tab-separated, for pasting into a spreadsheet) and the whole
// list as a CSV file (UTF-8 with a byte-order mark, which the spreadsheet
// programs installers use on Windows need to read Chinese, and RFC 4180
// quoting). Texts are shown as the list shows them: the front-end's GBK
// decoder turns the wire's bytes into UTF-8.
#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "pages/camera_list.h"
#include "pages/text_encoding.h"

namespace pages {

// The column headers, then each row, a line each.
std::string copiedText(std::span<const CameraRow> rows, const GbkDecoder& decode);
std::string csvText(std::span<const CameraRow> rows, const GbkDecoder& decode);

}  // namespace pages
