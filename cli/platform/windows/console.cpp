#include "cli/console.h"

#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

namespace cli {

bool ProcessTerminal::inputIsTerminal() const { return _isatty(_fileno(stdin)) != 0; }

// argv holds the ANSI code page's bytes; the wide command line holds all.
std::vector<std::string> argumentsInUtf8(int, char**) {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> arguments;
  for (int at = 1; wide != nullptr && at < count; ++at) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide[at], -1, nullptr, 0, nullptr, nullptr);
    std::string argument(static_cast<std::size_t>(size > 0 ? size - 1 : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide[at], -1, argument.data(), size, nullptr, nullptr);
    arguments.push_back(std::move(argument));
  }
  LocalFree(wide);
  return arguments;
}

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
