// set: one camera's new address, through the page's Apply exactly as the
// windows run it, then its answer awaited and the new address checked on
// the link.
#include <iostream>
#include <optional>

#include "cli/commands.h"
#include "pages/addresses.h"
#include "pages/plan_run.h"
#include "pages/terminal_text.h"

namespace cli {
namespace {

void fail(const Context& context, const std::string& mac, const char* why) {
  context.terminal.tell("tovalen-cli: " + pages::terminalSafe(mac) + ": " + why + "\n");
}

// Whether the camera answers for its new address on the link with its own
// MAC; told on standard output.
void tellWhetherReached(CameraSession& session, const Context& context, const pages::PlannedChange& change) {
  std::optional<pages::AddressAnswer> answer;
  const auto check = session.checker().check({change.address}, [&](const pages::AddressAnswer& heard) { answer = heard; });
  session.runFor(kLongestAddressCheck, [&] { return answer.has_value(); });
  const std::string mac = session.page().decoder()(change.mac);
  const bool reached = answer && pages::answeredByMac(*answer, mac);
  // As plan tells each camera: MAC, address, outcome.
  std::string line = pages::terminalSafe(mac) + "  " + pages::dotted(change.address) + "  " + context.texts.moved +
                     "; " + (reached ? context.texts.reachedThere : context.texts.notReachedThere);
  if (answer && answer->use == pages::AddressUse::CannotVerify)
    line += " (" + pages::terminalSafe(answer->reason) + ")";
  else if (answer && !reached && answer->use == pages::AddressUse::InUse)
    line += " (" + std::string(context.texts.inUseBy) + " " + answer->linkAddress + ")";
  std::cout << line << "\n" << std::flush;
}

}  // namespace

int runSet(const SetCommand& command, const Context& context) {
  CameraSession session(context, command.yes);
  if (!session.open()) return kExitFailed;
  pages::CameraPage& page = session.page();
  session.search(SearchCommand::kDefaultWait, [&] { return pages::shownRowOf(page, command.mac).has_value(); });
  const auto row = pages::shownRowOf(page, command.mac);
  if (!row) {
    fail(context, command.mac, context.texts.notHeard);
    return kExitFailed;
  }
  const std::size_t picked[] = {*row};
  page.pick(picked);
  const pages::PlannedChange change{page.picked().mac, command.address, command.gateway};

  page.apply([&] { return pages::NewAddresses{command.address, command.gateway}; });
  session.runFor(kLongestAddressCheck, [&] { return !page.checkingAddress(); });
  // Not sent: the page refused the address (bad input), or was not told to go on.
  if (session.channel().setIpRequestsSent() == 0) return session.prompter().toldAny() ? kExitUsage : kExitFailed;

  session.awaitAnswers({&change, 1}, command.wait);
  switch (pages::outcomeOf(page, session.channel(), change)) {
    case pages::ChangeOutcome::kMoved: break;
    case pages::ChangeOutcome::kKept: fail(context, command.mac, context.texts.keptAddress); return kExitFailed;
    case pages::ChangeOutcome::kNoAnswer: fail(context, command.mac, context.texts.noAnswer); return kExitFailed;
  }
  tellWhetherReached(session, context, change);
  return kExitDone;
}

}  // namespace cli
