#include "pages/camera_listing.h"

#include <algorithm>
#include <vector>

#include "pages/csv_field.h"
#include "pages/terminal_text.h"
#include "res/strings.h"

namespace pages {
namespace {

constexpr std::size_t kColumnCount = std::tuple_size_v<ListingHeaders>;
using Cells = std::array<std::string, kColumnCount>;

// Each camera's texts decoded and made safe to print.
std::vector<Cells> safeCells(std::span<const ListedCamera> cameras, const GbkDecoder& decode) {
  std::vector<Cells> rows;
  rows.reserve(cameras.size());
  for (const ListedCamera& camera : cameras) {
    rows.push_back({terminalSafe(decode(camera.mac)), terminalSafe(decode(camera.ip)),
                    terminalSafe(decode(camera.gateway)), terminalSafe(camera.adapter)});
  }
  return rows;
}

}  // namespace

std::string cameraTable(std::span<const ListedCamera> cameras, const ListingHeaders& headers,
                        const GbkDecoder& decode) {
  std::vector<Cells> rows = safeCells(cameras, decode);
  rows.insert(rows.begin(), Cells{});
  std::transform(headers.begin(), headers.end(), rows.front().begin(),
                 [](std::string_view header) { return terminalSafe(header); });
  std::array<std::size_t, kColumnCount> widths{};
  for (const Cells& row : rows) {
    for (std::size_t column = 0; column < kColumnCount; ++column) {
      widths[column] = std::max(widths[column], terminalWidth(row[column]));
    }
  }
  std::string table;
  for (const Cells& row : rows) {
    std::string line;
    for (std::size_t column = 0; column < kColumnCount; ++column) {
      if (column > 0) line += "  ";
      line += row[column] + std::string(widths[column] - terminalWidth(row[column]), ' ');
    }
    line.erase(line.find_last_not_of(' ') + 1);
    table += line + "\n";
  }
  return table;
}

std::string cameraCsv(std::span<const ListedCamera> cameras, const GbkDecoder& decode) {
  std::string csv = "\xEF\xBB\xBF";
  const auto line = [&csv](const auto& cells) {
    for (std::size_t column = 0; column < ui::strings::kCameraColumns.size(); ++column) {
      if (column > 0) csv += ',';
      csv += csvField(cells[column]);
    }
    csv += "\r\n";
  };
  line(ui::strings::kCameraColumns);
  for (const Cells& row : safeCells(cameras, decode)) line(row);
  return csv;
}

std::string cameraJson(std::span<const ListedCamera> cameras, const GbkDecoder& decode) {
  if (cameras.empty()) return "[]\n";
  std::string json = "[\n";
  for (const ListedCamera& camera : cameras) {
    if (json.size() > 2) json += ",\n";
    json += "  {\"mac\": " + jsonString(decode(camera.mac)) + ", \"ip\": " + jsonString(decode(camera.ip)) +
            ", \"gateway\": " + jsonString(decode(camera.gateway)) + ", \"adapter\": " + jsonString(camera.adapter) +
            "}";
  }
  return json + "\n]\n";
}

}  // namespace pages
