#include "pages/text_encoding.h"

namespace pages {
namespace {

bool isContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

}  // namespace

std::size_t utf8SequenceLength(std::string_view text) {
  if (text.empty()) return 0;
  const auto lead = static_cast<unsigned char>(text[0]);
  if (lead < 0x80) return 1;
  // The lead byte gives the length and the range the second byte may take
  // (narrower after E0, ED, F0 and F4: overlong forms, surrogates, >U+10FFFF).
  std::size_t length = 0;
  unsigned char secondLow = 0x80, secondHigh = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) secondLow = 0xA0;
    if (lead == 0xED) secondHigh = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) secondLow = 0x90;
    if (lead == 0xF4) secondHigh = 0x8F;
  } else {
    return 0;
  }
  if (text.size() < length) return 0;
  const auto second = static_cast<unsigned char>(text[1]);
  if (second < secondLow || second > secondHigh) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if (!isContinuation(static_cast<unsigned char>(text[i]))) return 0;
  }
  return length;
}

bool isUtf8(std::string_view text) {
  bool valid = true;
  forEachCodePoint(text, [](std::string_view, char32_t) {}, [&valid](unsigned char) { valid = false; });
  return valid;
}

char32_t utf8CodePoint(std::string_view sequence) {
  const auto lead = static_cast<unsigned char>(sequence[0]);
  if (sequence.size() == 1) return lead;
  static constexpr unsigned char kLeadBits[] = {0, 0, 0x1F, 0x0F, 0x07};
  char32_t codePoint = lead & kLeadBits[sequence.size()];
  for (std::size_t i = 1; i < sequence.size(); ++i) {
    codePoint = (codePoint << 6) | (static_cast<unsigned char>(sequence[i]) & 0x3F);
  }
  return codePoint;
}

}  // namespace pages
