// The burst as `tovalen-cli search --format csv` takes it: the terminal
// program's own session (its event loop, the page over the real channel),
// run in this process so that the time to the last camera heard is seen as
// the page's is, and not hidden behind the command's fixed wait.
#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "burst.h"
#include "cli/camera_session.h"
#include "cli/gbk.h"
#include "cli/language.h"
#include "pages/camera_listing.h"
#include "scenarios.h"

namespace bench {
namespace {

// Nobody at the terminal: nothing is asked, nothing is shown.
class SilentTerminal : public cli::Terminal {
 public:
  bool inputIsTerminal() const override { return false; }
  void tell(std::string_view) override {}
  std::optional<std::string> readLine() override { return std::nullopt; }
};

}  // namespace

Outcome measureTerminal(std::size_t cameras) {
  Cameras answering(cameras);
  if (!answering.ok()) return {};
  SilentTerminal terminal;
  const cli::Context context{terminal, cli::textsIn(cli::Language::kEnglish)};
  cli::CameraSession session(context, false);
  if (!session.open()) return {};

  using Clock = std::chrono::steady_clock;
  const auto start = Clock::now();
  session.search(std::chrono::seconds(3), [&] { return session.page().rowCount() >= cameras; });
  // The command's output, every row of it, is part of its time.
  std::vector<pages::ListedCamera> listed;
  for (const pages::CameraRow& row : session.page().shownRows()) listed.push_back({row.mac, row.ip, row.gateway, ""});
  const std::string csv = pages::cameraCsv(listed, cli::gbkToUtf8);
  Outcome outcome;
  outcome.millisecondsToLast = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  outcome.listed = csv.empty() ? 0 : listed.size();
  outcome.searches = answering.searchesAnswered();
  return outcome;
}

}  // namespace bench
