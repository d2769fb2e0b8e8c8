#include "cli/console.h"

#include <unistd.h>

namespace cli {

bool ProcessTerminal::inputIsTerminal() const { return isatty(STDIN_FILENO) == 1; }

bool errorIsTerminal() { return isatty(STDERR_FILENO) == 1; }

}  // namespace cli
