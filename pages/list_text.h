// The camera list as text for other programs: the selected rows for the
// clipboard (tab-separated, for pasting into a spreadsheet) and the whole list
// as a CSV file (UTF-8 with a byte-order mark, which the spreadsheet programs
// installers use on Windows need to read Chinese, and RFC 4180 quoting).
// Texts are shown as the list shows them: the front-end's GBK decoder turns
// the wire's bytes into UTF-8.
#pragma once

#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace pages {

class CameraPage;

using GbkDecoder = std::function<std::string(std::string_view gbk)>;

// The column headers, then each of `rows` (in list order), a line each.
std::string copiedText(const CameraPage& page, std::span<const std::size_t> rows, const GbkDecoder& decode);
// The headers and every row of the list.
std::string csvText(const CameraPage& page, const GbkDecoder& decode);

}  // namespace pages
