// search: the page's search, every row heard within the wait, in the chosen
// format.
#include <iostream>

#include "cli/commands.h"
#include "cli/gbk.h"
#include "pages/camera_listing.h"

namespace cli {
namespace {

std::string listing(std::span<const pages::ListedCamera> cameras, OutputFormat format,
                    const ui::strings::TerminalTexts& texts) {
  const auto& headers = texts.listingHeaders;
  switch (format) {
    case OutputFormat::kCsv: return pages::cameraCsv(cameras, gbkToUtf8);
    case OutputFormat::kJson: return pages::cameraJson(cameras, gbkToUtf8);
    case OutputFormat::kTable: break;
  }
  return pages::cameraTable(cameras, {headers[0], headers[1], headers[2], headers[3]}, gbkToUtf8);
}

// The page does not say which adapter a camera answered on.
std::vector<pages::ListedCamera> listedCameras(const pages::CameraPage& page) {
  std::vector<pages::ListedCamera> cameras;
  for (const pages::CameraRow& row : page.shownRows()) cameras.push_back({row.mac, row.ip, row.gateway, ""});
  return cameras;
}

}  // namespace

int runSearch(const SearchCommand& command, const Context& context) {
  CameraSession session(context, false);
  if (!session.open()) return kExitFailed;
  // The channel repeats the search itself for answers lost.
  session.search(command.wait, [] { return false; });
  std::cout << listing(listedCameras(session.page()), command.format, context.texts) << std::flush;
  return std::cout ? kExitDone : kExitFailed;
}

}  // namespace cli
