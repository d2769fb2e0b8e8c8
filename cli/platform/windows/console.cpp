#include "cli/console.h"

#include <io.h>
#include <stdio.h>
#include <windows.h>

namespace cli {

bool ProcessTerminal::inputIsTerminal() const { return _isatty(_fileno(stdin)) != 0; }

void prepareConsole() {
  SetConsoleOutputCP(CP_UTF8);
  SetConsoleCP(CP_UTF8);
}

bool errorIsTerminal() { return _isatty(_fileno(stderr)) != 0; }

}  // namespace cli
