// What the page layer needs to know of text encodings: the front-end's GBK
// decoder (the cameras' texts, and spreadsheets saved on Chinese Windows, are
// GBK) and where a UTF-8 text holds bytes that are not UTF-8.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace pages {

// Returns UTF-8; the same type as list_text.h's.
using GbkDecoder = std::function<std::string(std::string_view gbk)>;

// The length of the well-formed UTF-8 sequence starting `text` (1 to 4), or 0
// when its first bytes are none: a stray continuation byte, an overlong form,
// a surrogate, a code point past U+10FFFF or a sequence cut short.
std::size_t utf8SequenceLength(std::string_view text);
bool isUtf8(std::string_view text);
// The code point of a sequence utf8SequenceLength() accepted.
char32_t utf8CodePoint(std::string_view sequence);

// Hands each well-formed sequence of `text` to `valid(sequence, codePoint)`
// and each byte that begins none to `invalid(byte)`, in order.
template <typename Valid, typename Invalid>
void forEachCodePoint(std::string_view text, Valid valid, Invalid invalid) {
  while (!text.empty()) {
    const std::size_t length = utf8SequenceLength(text);
    if (length == 0) {
      invalid(static_cast<unsigned char>(text.front()));
      text.remove_prefix(1);
    } else {
      valid(text.substr(0, length), utf8CodePoint(text.substr(0, length)));
      text.remove_prefix(length);
    }
  }
}

}  // namespace pages
