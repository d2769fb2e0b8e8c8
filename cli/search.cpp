#include "cli/search.h"

#include <thread>

#include "pages/camera_list.h"
#include "discovery/channel.h"
#include "pages/record_queue.h"

namespace cli {

SearchOutcome searchCameras(discovery::HostNetwork& network, std::chrono::seconds listening) {
  // Nothing to wake: the records are taken once the time is up.
  pages::RecordQueue inbox([] {});
  discovery::MulticastChannel channel(inbox, network);
  SearchOutcome outcome;
  if (channel.open() != 1) {
    outcome.openError = channel.openError();
    return outcome;
  }
  channel.sendSearch();
  std::this_thread::sleep_for(listening);
  channel.close();

  // The list's own rules: the first answer of a MAC makes its row, a set-IP
  // answer rewrites it.
  pages::CameraList list;
  for (const discovery::DecodedRecord& record : inbox.takeAll()) {
    if (const auto* device = std::get_if<discovery::DeviceInfoRecord>(&record)) {
      list.addDevice(*device);
    } else {
      list.applyIpChange(std::get<discovery::SetIpRecord>(record));
    }
  }
  for (std::size_t row = 0; row < list.size(); ++row) {
    const pages::CameraRow& camera = list.row(row);
    // The channel does not say which adapter an answer came through.
    outcome.cameras.push_back({camera.mac, camera.ip, camera.gateway, ""});
  }
  return outcome;
}

}  // namespace cli
