// tovalen-cli: the camera page's work from a terminal. Only search is wired
// so far; the other commands are parsed and refused with exit code 1.
#include <iostream>
#include <string_view>
#include <variant>
#include <vector>

#include "cli/command_line.h"
#include "cli/gbk.h"
#include "cli/language.h"
#include "cli/search.h"

namespace {

std::string listing(const cli::SearchOutcome& outcome, cli::OutputFormat format,
                    const ui::strings::TerminalTexts& texts) {
  const auto& headers = texts.listingHeaders;
  switch (format) {
    case cli::OutputFormat::kCsv: return pages::cameraCsv(outcome.cameras, cli::gbkToUtf8);
    case cli::OutputFormat::kJson: return pages::cameraJson(outcome.cameras, cli::gbkToUtf8);
    case cli::OutputFormat::kTable: break;
  }
  return pages::cameraTable(outcome.cameras, {headers[0], headers[1], headers[2], headers[3]}, cli::gbkToUtf8);
}

int search(const cli::SearchCommand& command, const ui::strings::TerminalTexts& texts) {
  discovery::SystemNetwork network;
  const cli::SearchOutcome outcome = cli::searchCameras(network, command.wait);
  if (!outcome.openError.empty()) {
    std::cerr << "tovalen-cli: " << texts.cannotOpenNetwork << ": " << outcome.openError << "\n";
    return cli::kExitFailed;
  }
  std::cout << listing(outcome, command.format, texts) << std::flush;
  return std::cout ? cli::kExitDone : cli::kExitFailed;
}

}  // namespace

int main(int argc, char** argv) {
  const ui::strings::TerminalTexts& texts = cli::textsIn(cli::languageOfThisProcess());
  const std::vector<std::string_view> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
  const auto parsed = cli::parseCommandLine(arguments);
  if (const auto* error = std::get_if<cli::UsageError>(&parsed)) {
    std::cerr << cli::usageMessage(*error, texts);
    return cli::kExitUsage;
  }
  const cli::Command& command = std::get<cli::Command>(parsed);
  if (std::holds_alternative<cli::HelpCommand>(command)) {
    std::cout << texts.help;
    return cli::kExitDone;
  }
  if (const auto* searchCommand = std::get_if<cli::SearchCommand>(&command)) return search(*searchCommand, texts);
  std::cerr << "tovalen-cli: " << texts.commandNotAvailable << "\n";
  return cli::kExitFailed;
}
