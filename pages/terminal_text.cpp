#include "pages/terminal_text.h"

#include <algorithm>
#include <cstdio>

#include "pages/text_encoding.h"

namespace pages {
namespace {

std::string escapedBytes(std::string_view bytes) {
  std::string escaped;
  for (const char byte : bytes) {
    char text[5];
    std::snprintf(text, sizeof text, "\\x%02X", static_cast<unsigned char>(byte));
    escaped += text;
  }
  return escaped;
}

// East Asian wide and fullwidth ranges (Unicode's EastAsianWidth W and F),
// as far as names and headers use them.
bool isWide(char32_t c) {
  return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x303E) || (c >= 0x3041 && c <= 0x33FF) ||
         (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xA000 && c <= 0xA4CF) ||
         (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) ||
         (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
}

}  // namespace

bool controlsTheTerminal(char32_t c) {
  return c < 0x20 || (c >= 0x7F && c <= 0x9F) || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069) ||
         c == 0x200E || c == 0x200F;
}

std::string terminalSafe(std::string_view utf8) {
  // Nearly every MAC and address: printable ASCII, nothing to escape.
  if (std::all_of(utf8.begin(), utf8.end(), [](char c) { return c >= 0x20 && c < 0x7F && c != '\\'; }))
    return std::string(utf8);
  std::string safe;
  safe.reserve(utf8.size());
  forEachCodePoint(
      utf8,
      [&safe](std::string_view sequence, char32_t codePoint) {
        if (codePoint == '\\')
          safe += "\\\\";
        else if (controlsTheTerminal(codePoint))
          safe += escapedBytes(sequence);
        else
          safe += sequence;
      },
      [&safe](unsigned char byte) { safe += escapedBytes(std::string(1, static_cast<char>(byte))); });
  return safe;
}

std::size_t terminalWidth(std::string_view safeText) {
  std::size_t width = 0;
  forEachCodePoint(
      safeText, [&width](std::string_view, char32_t codePoint) { width += isWide(codePoint) ? 2 : 1; },
      [&width](unsigned char) { ++width; });
  return width;
}

std::string jsonString(std::string_view utf8) {
  std::string json = "\"";
  forEachCodePoint(
      utf8,
      [&json](std::string_view sequence, char32_t codePoint) {
        if (codePoint == '"' || codePoint == '\\') {
          json += '\\';
          json += static_cast<char>(codePoint);
        } else if (controlsTheTerminal(codePoint)) {
          char escape[7];
          std::snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned>(codePoint));
          json += escape;
        } else {
          json += sequence;
        }
      },
      [&json](unsigned char) { json += "\\uFFFD"; });
  return json + "\"";
}

}  // namespace pages
