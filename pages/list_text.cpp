#include "pages/list_text.h"

#include <algorithm>
#include <vector>

#include "discovery/protocol.h"
#include "res/strings.h"

namespace pages {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

std::string dotted(std::uint32_t address) { return discovery::formatAddress(discovery::toIpv4Bytes(address)); }

// A cell on one line of tab-separated text: tabs and line breaks from the
// wire would split it, so they become spaces.
std::string copiedCell(std::string text) {
  std::replace_if(text.begin(), text.end(), [](char c) { return c == '\t' || c == '\r' || c == '\n'; }, ' ');
  return text;
}

// A CSV field. A text starting like a formula is kept from being run as one
// by the spreadsheet (anyone on the network can choose a MAC text).
std::string csvField(const std::string& text) {
  std::string field = !text.empty() && std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos
                          ? "'" + text
                          : text;
  if (field.find_first_of(",\"\r\n") == std::string::npos) return field;
  std::string quoted = "\"";
  for (const char c : field) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

template <typename Cell>
std::string lines(const CameraPage& page, std::span<const std::size_t> rows, const GbkDecoder& decode,
                  std::string_view separator, Cell cell) {
  std::string text;
  const auto line = [&](auto cellText) {
    for (std::size_t column = 0; column < kCameraColumnCount; ++column) {
      if (column > 0) text += separator;
      text += cell(cellText(column));
    }
    text += kLineEnd;
  };
  line([](std::size_t column) { return std::string(ui::strings::kCameraColumns[column]); });
  for (const std::size_t row : rows) line([&](std::size_t column) { return decode(page.cell(row, column)); });
  return text;
}

}  // namespace

std::string copiedText(const CameraPage& page, std::span<const std::size_t> rows, const GbkDecoder& decode) {
  std::vector<std::size_t> inListOrder(rows.begin(), rows.end());
  std::sort(inListOrder.begin(), inListOrder.end());
  std::erase_if(inListOrder, [&](std::size_t row) { return row >= page.rowCount(); });
  return lines(page, inListOrder, decode, "\t", copiedCell);
}

std::string csvText(const CameraPage& page, const GbkDecoder& decode) {
  std::vector<std::size_t> every(page.rowCount());
  for (std::size_t row = 0; row < every.size(); ++row) every[row] = row;
  return "\xEF\xBB\xBF" + lines(page, every, decode, ",", csvField);
}

std::string conflictNotice(const CameraPage::AddressConflict& conflict, std::uint32_t newAddress,
                           const GbkDecoder& decode) {
  return conflict.thisPc ? ui::strings::addressOfThisPc(dotted(newAddress))
                         : ui::strings::addressListed(dotted(newAddress), decode(conflict.mac));
}

std::string unansweredNotice(std::span<const CameraPage::BatchItem> unanswered, const GbkDecoder& decode) {
  std::string cameras;
  for (const auto& item : unanswered) cameras += decode(item.mac) + "  " + dotted(item.newAddress) + "\r\n";
  return ui::strings::batchUnanswered(cameras);
}

}  // namespace pages
