// The cameras heard, as the terminal program prints them: a table aligned for
// people, the list's own CSV export for spreadsheets, JSON for scripts.
// Whatever the network sent is escaped (terminal_text.h), never printed raw.
#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>

#include "pages/text_encoding.h"

namespace pages {

struct ListedCamera {
  std::string mac;      // the texts as on the wire (GBK)
  std::string ip;
  std::string gateway;
  std::string adapter;  // the name of the PC's adapter it answered on, as the system gives it
};

// Headers for the MAC, IP, gateway and adapter columns, in the user's language.
using ListingHeaders = std::array<std::string_view, 4>;

// A line for the headers and one for each camera, columns two spaces apart.
std::string cameraTable(std::span<const ListedCamera> cameras, const ListingHeaders& headers,
                        const GbkDecoder& decode);
// The export's file: a byte-order mark, its headers, its quoting and guard,
// CRLF line ends; the adapter is not a column of it.
std::string cameraCsv(std::span<const ListedCamera> cameras, const GbkDecoder& decode);
// An array of objects with the members mac, ip, gateway and adapter.
std::string cameraJson(std::span<const ListedCamera> cameras, const GbkDecoder& decode);

}  // namespace pages
