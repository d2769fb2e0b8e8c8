// Going on after a warning, on a terminal. A warning is asked about (y/N)
// unless --yes was given; with no terminal on standard input there is no one
// to ask, and a script that did not say --yes has not agreed: it stops.
#pragma once

#include <string>
#include <string_view>

#include "cli/terminal.h"
#include "res/strings.h"

namespace cli {

// The pages' texts, whose lines end in CRLF as message boxes want, with the
// LF a terminal shows, ending in one.
std::string terminalLines(std::string_view text);

enum class Confirmation { kConfirmed, kDeclined, kNoTerminal };

// Tells `warning` (the pages' texts, whose lines end in CRLF), then asks.
// Work that stops here, unconfirmed, ends with kExitFailed.
Confirmation confirm(std::string_view warning, bool yes, Terminal& terminal, const ui::strings::TerminalTexts& texts);

}  // namespace cli
