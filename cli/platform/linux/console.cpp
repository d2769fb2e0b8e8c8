#include "cli/console.h"

#include <unistd.h>

namespace cli {

bool ProcessTerminal::inputIsTerminal() const { return isatty(STDIN_FILENO) == 1; }

// Arguments come as the terminal's locale wrote them: UTF-8 where Chinese
// can be typed at all.
std::vector<std::string> argumentsInUtf8(int argc, char** argv) {
  return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

// A terminal's encoding is its locale's; UTF-8 is what is shown.
void prepareConsole() {}

bool errorIsTerminal() { return isatty(STDERR_FILENO) == 1; }

}  // namespace cli
