#include "cli/console.h"

#include <iostream>

namespace cli {

void ProcessTerminal::tell(std::string_view text) { std::cerr << text << std::flush; }

std::optional<std::string> ProcessTerminal::readLine() {
  std::string line;
  if (!std::getline(std::cin, line)) return std::nullopt;
  return line;
}

}  // namespace cli
