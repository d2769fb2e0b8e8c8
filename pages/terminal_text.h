// Texts from the network, made safe to print on a terminal. Anyone on the
// network can choose a camera's texts: an escape sequence among them could
// retitle, recolour or rewrite the terminal, and bytes that are not UTF-8
// garble it. These are shown escaped instead, never raw.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace pages {

// Whether a code point changes the terminal rather than showing: the C0 and
// C1 controls, DEL, and the direction controls that reorder what follows.
bool controlsTheTerminal(char32_t codePoint);

// `utf8` with a backslash doubled, and each byte of a control (as above) or
// of no well-formed UTF-8 sequence written as \xNN.
std::string terminalSafe(std::string_view utf8);
// The columns a terminal gives a text terminalSafe() returned: two for the
// wide characters of East Asian scripts, one for the others.
std::size_t terminalWidth(std::string_view safeText);

// A JSON string: the quotes, the escapes JSON requires, controls (as above)
// as \uXXXX, and U+FFFD for each byte of no well-formed UTF-8 sequence.
std::string jsonString(std::string_view utf8);

}  // namespace pages
