#include "cli/console.h"

#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <windows.h>

namespace cli {

bool ProcessTerminal::inputIsTerminal() const { return _isatty(_fileno(stdin)) != 0; }

void prepareConsole() {
  SetConsoleOutputCP(CP_UTF8);
  SetConsoleCP(CP_UTF8);
  // What a command prints is written byte for byte: the CSV export's CRLF
  // must not become CR CR LF.
  _setmode(_fileno(stdout), _O_BINARY);
  // The progress line is redrawn with escape sequences, which a console
  // shows as text unless told to act on them.
  const HANDLE errors = GetStdHandle(STD_ERROR_HANDLE);
  DWORD mode = 0;
  if (GetConsoleMode(errors, &mode)) SetConsoleMode(errors, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
}

bool errorIsTerminal() { return _isatty(_fileno(stderr)) != 0; }

}  // namespace cli
