// The terminal the program was started from, as the prompter needs it; the
// program's is in platform/, a test's its own.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace cli {

class Terminal {
 public:
  virtual ~Terminal() = default;
  // Whether standard input is a terminal someone can answer on.
  virtual bool inputIsTerminal() const = 0;
  // Writes to standard error, so that what a command prints stays clean.
  virtual void tell(std::string_view text) = 0;
  // A line from standard input without its end; nothing at its end.
  virtual std::optional<std::string> readLine() = 0;
};

}  // namespace cli
