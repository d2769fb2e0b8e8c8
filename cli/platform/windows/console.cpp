#include "cli/console.h"

#include <io.h>
#include <stdio.h>

namespace cli {

bool ProcessTerminal::inputIsTerminal() const { return _isatty(_fileno(stdin)) != 0; }

bool errorIsTerminal() { return _isatty(_fileno(stderr)) != 0; }

}  // namespace cli
