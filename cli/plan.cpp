// plan: a site plan read and its problems listed; with --dry-run what it
// would change, else its addresses sent to the cameras it lists that are
// heard, and each one's answer told.
#include <algorithm>
#include <iostream>

#include "cli/commands.h"
#include "cli/gbk.h"
#include "pages/addresses.h"
#include "pages/batch_run.h"
#include "pages/plan_run.h"
#include "pages/terminal_text.h"

namespace cli {
namespace {

// "FILE:LINE: problem" a line each, the whole file's without a line.
void tellProblems(const pages::SitePlan& plan, const std::string& file, Terminal& terminal) {
  const auto tell = [&](const pages::PlanProblem& problem) {
    const std::string line = problem.line == 0 ? "" : ":" + std::to_string(problem.line);
    terminal.tell(pages::terminalSafe(file) + line + ": " + pages::terminalSafe(problem.text) + "\n");
  };
  std::for_each(plan.problems.begin(), plan.problems.end(), tell);
  for (const pages::SitePlanRow& row : plan.rows) std::for_each(row.problems.begin(), row.problems.end(), tell);
}

// MAC, the address listed now (or that it is not listed), the planned
// address and gateway.
void printPreview(const pages::SitePlan& plan, const pages::CameraPage& page, const ui::strings::TerminalTexts& texts) {
  for (const pages::SitePlanRow& row : plan.rows) {
    const auto shown = pages::shownRowOf(page, row.mac);
    const std::string current = shown ? gbkToUtf8(page.shownRows()[*shown].ip) : texts.notListed;
    std::cout << pages::terminalSafe(row.mac) << "  " << pages::terminalSafe(current) << "  ->  "
              << pages::dotted(row.address) << "  " << pages::dotted(row.gateway) << "\n";
  }
}

const char* outcomeText(pages::ChangeOutcome outcome, const ui::strings::TerminalTexts& texts) {
  switch (outcome) {
    case pages::ChangeOutcome::kMoved: return texts.moved;
    case pages::ChangeOutcome::kKept: return texts.keptAddress;
    case pages::ChangeOutcome::kNoAnswer: break;
  }
  return texts.noAnswer;
}

// Sends the changes paced by the page's timer; true when every camera moved.
bool sendAndReport(CameraSession& session, const std::vector<pages::PlannedChange>& changes,
                   const PlanCommand& command, const ui::strings::TerminalTexts& texts) {
  bool sent = false;
  pages::PlanSend send(session.channel(), session.loop(), changes, [&] { sent = true; });
  send.start();
  // Bounded only in case the timer stalls: the sends end long before.
  const auto sending = pages::kBatchSpacing * static_cast<int>(changes.size() + 1);
  session.runFor(2 * sending + std::chrono::seconds{1}, [&] { return sent; });
  session.awaitAnswers(changes, command.wait);
  bool allMoved = true;
  for (const pages::PlannedChange& change : changes) {
    const pages::ChangeOutcome outcome = pages::outcomeOf(session.page(), session.channel(), change);
    allMoved = allMoved && outcome == pages::ChangeOutcome::kMoved;
    std::cout << pages::terminalSafe(gbkToUtf8(change.mac)) << "  " << pages::dotted(change.address) << "  "
              << outcomeText(outcome, texts) << "\n";
  }
  return allMoved;
}

}  // namespace

int runPlan(const PlanCommand& command, const Context& context) {
  // The name is UTF-8 on every system.
  const pages::SitePlan plan = pages::readSitePlanFile(command.file, gbkToUtf8);
  tellProblems(plan, command.file, context.terminal);
  if (!plan.sendable()) {
    context.terminal.tell(std::string("tovalen-cli: ") + context.texts.planNotSendable + "\n");
    return kExitUsage;
  }
  CameraSession session(context, command.yes);
  if (!session.open()) return kExitFailed;
  const auto allListed = [&] { return pages::listedChanges(session.page(), plan).size() == plan.rows.size(); };
  session.search(SearchCommand::kDefaultWait, allListed);
  if (command.dryRun) {
    printPreview(plan, session.page(), context.texts);
    return std::cout.flush() ? kExitDone : kExitFailed;
  }
  const std::vector<pages::PlannedChange> changes = pages::listedChanges(session.page(), plan);
  if (changes.empty()) {
    context.terminal.tell(std::string("tovalen-cli: ") + context.texts.planNoneListed + "\n");
    return kExitFailed;
  }
  const std::string question = std::string(context.texts.planHeard) + ": " + std::to_string(changes.size()) + "\r\n" +
                               context.texts.planConfirm;
  if (!session.prompter().ask({question, "", pages::Icon::Question})) return kExitFailed;
  const bool allMoved = sendAndReport(session, changes, command, context.texts);
  std::cout << std::flush;
  return allMoved ? kExitDone : kExitFailed;
}

}  // namespace cli
