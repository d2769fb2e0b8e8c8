// The terminal the program was started from: standard input to answer on,
// standard error for what it tells.
#pragma once

#include <string>
#include <vector>

#include "cli/terminal.h"

namespace cli {

class ProcessTerminal : public Terminal {
 public:
  bool inputIsTerminal() const override;
  void tell(std::string_view text) override;
  std::optional<std::string> readLine() override;
};

// The arguments after the program's name, in UTF-8 whatever the system's
// code page.
std::vector<std::string> argumentsInUtf8(int argc, char** argv);

// Makes the console show and read UTF-8, as the program writes it.
void prepareConsole();

// Progress is shown only to someone watching: never into a log file.
bool errorIsTerminal();

}  // namespace cli
