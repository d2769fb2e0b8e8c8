// check: whether each address is taken, by the PC's adapter list where it
// answers and else by the link.
#include <algorithm>
#include <iostream>
#include <map>
#include <optional>

#include "cli/commands.h"
#include "pages/addresses.h"
#include "pages/pc_network.h"
#include "pages/startup.h"
#include "pages/terminal_text.h"

namespace cli {
namespace {

std::string answerText(const pages::AddressAnswer& answer, const ui::strings::TerminalTexts& texts) {
  switch (answer.use) {
    case pages::AddressUse::InUse:
      return std::string(texts.inUseBy) + " " + (answer.ownAddress ? texts.thisComputer : answer.linkAddress);
    case pages::AddressUse::Free: return texts.free;
    case pages::AddressUse::CannotVerify: break;
  }
  return std::string(texts.cannotVerify) + " (" + pages::terminalSafe(answer.reason) + ")";
}

}  // namespace

int runCheck(const CheckCommand& command, const Context& context) {
  const std::unique_ptr<pages::HostNetwork> network = pages::systemNetwork();
  const auto adapters = pages::PcNetwork::read(*network).adapters;
  std::map<std::uint32_t, pages::AddressAnswer> answers;
  std::vector<std::uint32_t> forTheLink;
  for (const std::uint32_t address : command.addresses) {
    if (const auto known = pages::answerWithoutTheLink(adapters, address)) {
      answers.emplace(address, *known);
    } else if (std::find(forTheLink.begin(), forTheLink.end(), address) == forTheLink.end()) {
      forTheLink.push_back(address);
    }
  }
  EventLoop loop;
  pages::LinkAddressChecker checker(*network, loop);
  const std::size_t asked = answers.size() + forTheLink.size();
  const auto check = checker.check(forTheLink, [&](const pages::AddressAnswer& answer) {
    answers.emplace(pages::answeredAddress(answer), answer);
  });
  const bool allChecked = loop.runUntil([&] { return answers.size() == asked; },
                                        EventLoop::Clock::now() + kLongestAddressCheck);
  for (const std::uint32_t address : command.addresses) {
    const auto answer = answers.find(address);
    std::cout << pages::dotted(address) << ": "
              << (answer == answers.end() ? context.texts.notChecked : answerText(answer->second, context.texts))
              << "\n";
  }
  return std::cout.flush() && allChecked ? kExitDone : kExitFailed;
}

}  // namespace cli
