#include "cli/console.h"

#include <unistd.h>

namespace cli {

bool ProcessTerminal::inputIsTerminal() const { return isatty(STDIN_FILENO) == 1; }

// A terminal's encoding is its locale's; UTF-8 is what is shown.
void prepareConsole() {}

bool errorIsTerminal() { return isatty(STDERR_FILENO) == 1; }

}  // namespace cli
