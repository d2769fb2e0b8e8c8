// Fuzz target for site plans and for what the terminal prints: whatever a
// file holds, reading it gives rows in file order whose problems decide
// whether it may be sent, a sendable plan has no MAC or address twice and
// only addresses a host can have, and none of the formats prints a control
// character or a byte that is not UTF-8. A plan written out as the export
// reads back with the same MACs.
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "discovery/protocol.h"
#include "invariant.h"
#include "pages/camera_listing.h"
#include "pages/addresses.h"
#include "pages/site_plan.h"
#include "pages/terminal_text.h"

namespace {

// Latin-1 in place of GBK: every byte a character, as a decoder gives.
std::string decodeLatin1(std::string_view bytes) {
  std::string utf8;
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      utf8 += c;
    } else {
      utf8 += static_cast<char>(0xC0 | byte >> 6);
      utf8 += static_cast<char>(0x80 | (byte & 0x3F));
    }
  }
  return utf8;
}

std::string asIs(std::string_view bytes) { return std::string(bytes); }

std::string dotted(std::uint32_t address) { return discovery::formatAddress(discovery::toIpv4Bytes(address)); }

// Nothing that moves or restyles the terminal: only the line ends the
// format writes itself.
void requirePrintable(std::string_view printed, const char* what) {
  require(pages::isUtf8(printed), what);
  bool clean = true;
  pages::forEachCodePoint(
      printed,
      [&clean](std::string_view, char32_t c) { clean = clean && (!pages::controlsTheTerminal(c) || c == '\n' || c == '\r'); },
      [&clean](unsigned char) { clean = false; });
  require(clean, what);
}

bool blocked(const pages::SitePlanRow& row) {
  for (const auto& problem : row.problems) {
    if (pages::blocksSending(problem.kind)) return true;
  }
  return false;
}

void checkPlan(const pages::SitePlan& plan) {
  bool anyBlocking = false;
  for (const auto& problem : plan.problems) {
    require(problem.line == 0 && !problem.text.empty(), "a file's problem has no line and a text");
    anyBlocking = anyBlocking || pages::blocksSending(problem.kind);
  }
  std::size_t lastLine = 1;
  for (const auto& row : plan.rows) {
    require(row.line > lastLine, "rows in file order, after the header");
    lastLine = row.line;
    for (const auto& problem : row.problems) {
      require(problem.line == row.line && pages::isUtf8(problem.text) && !problem.text.empty(),
              "a row's problem names its line in a text");
    }
    require(pages::isUtf8(row.mac), "a MAC is UTF-8");
    if (!blocked(row)) {
      require(!row.mac.empty() && pages::canBeHostAddress(row.address) && pages::canBeHostAddress(row.gateway),
              "a row that may be sent has a MAC and host addresses");
    }
    anyBlocking = anyBlocking || blocked(row);
  }
  require(plan.sendable() == !anyBlocking, "sendable exactly when no problem blocks");
}

void checkSendable(const pages::SitePlan& plan) {
  std::set<std::string> macs;
  std::set<std::uint32_t> addresses;
  for (const auto& row : plan.rows) {
    std::string key = row.mac;
    for (char& c : key) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    require(macs.insert(key).second && addresses.insert(row.address).second, "a sendable plan has nothing twice");
  }
}

// The plan's rows as the export writes them, read back.
void checkRoundTrip(const pages::SitePlan& plan) {
  std::vector<pages::ListedCamera> cameras;
  for (const auto& row : plan.rows) {
    // The listing escapes what the terminal must not see, and cells are
    // trimmed when read: such MACs cannot come back as they were.
    const bool survives = pages::terminalSafe(row.mac) == row.mac && row.mac.front() != ' ' && row.mac.back() != ' ';
    if (!survives) return;
    cameras.push_back({row.mac, dotted(row.address), dotted(row.gateway), ""});
  }
  const pages::SitePlan again = pages::readSitePlan(pages::cameraCsv(cameras, asIs), asIs);
  require(again.rows.size() == plan.rows.size(), "the export of a plan has its rows");
  for (std::size_t i = 0; i < plan.rows.size(); ++i) {
    require(again.rows[i].mac == plan.rows[i].mac && again.rows[i].address == plan.rows[i].address &&
                again.rows[i].gateway == plan.rows[i].gateway,
            "the export of a plan reads back the same");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const pages::SitePlan plan = pages::readSitePlan(bytes, decodeLatin1);
  checkPlan(plan);
  if (plan.sendable()) {
    checkSendable(plan);
    checkRoundTrip(plan);
  }

  // The same bytes as cameras' texts, raw from the wire.
  std::vector<pages::ListedCamera> cameras;
  for (std::size_t at = 0; at < bytes.size(); at += 40) {
    const std::string_view part = bytes.substr(at, 40);
    cameras.push_back({std::string(part.substr(0, 20)), std::string(part.substr(std::min<std::size_t>(20, part.size()), 10)),
                       std::string(part.substr(std::min<std::size_t>(30, part.size()))), std::string(part)});
  }
  requirePrintable(pages::cameraTable(cameras, {"MAC", "IP", "Gateway", "Adapter"}, asIs), "the table prints safely");
  requirePrintable(pages::cameraCsv(cameras, asIs), "the CSV prints safely");
  requirePrintable(pages::cameraJson(cameras, asIs), "the JSON prints safely");
  return 0;
}
