// tovalen-cli: the camera page's work from a terminal.
#include <iostream>
#include <string_view>
#include <variant>
#include <vector>

#include "cli/commands.h"
#include "cli/console.h"
#include "cli/language.h"
#include "pages/startup.h"

namespace {

struct Dispatch {
  const cli::Context& context;
  int operator()(const cli::HelpCommand&) const {
    std::cout << context.texts.help << std::flush;
    return cli::kExitDone;
  }
  int operator()(const cli::SearchCommand& command) const { return cli::runSearch(command, context); }
  int operator()(const cli::SetCommand& command) const { return cli::runSet(command, context); }
  int operator()(const cli::PlanCommand& command) const { return cli::runPlan(command, context); }
  int operator()(const cli::CheckCommand& command) const { return cli::runCheck(command, context); }
  int operator()(const cli::AdaptersCommand&) const { return cli::runAdapters(context); }
};

}  // namespace

int main(int argc, char** argv) {
  cli::prepareConsole();
  const ui::strings::TerminalTexts& texts = cli::textsIn(cli::languageOfThisProcess());
  const std::vector<std::string> given = cli::argumentsInUtf8(argc, argv);
  const std::vector<std::string_view> arguments(given.begin(), given.end());
  const auto parsed = cli::parseCommandLine(arguments);
  if (const auto* error = std::get_if<cli::UsageError>(&parsed)) {
    std::cerr << cli::usageMessage(*error, texts);
    return cli::kExitUsage;
  }
  // Windows needs its socket library up while any socket is open.
  const pages::SocketLibrary socketLibrary;
  cli::ProcessTerminal terminal;
  const cli::Context context{terminal, texts};
  return std::visit(Dispatch{context}, std::get<cli::Command>(parsed));
}
