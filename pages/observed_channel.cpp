#include "pages/observed_channel.h"

#include <variant>

namespace pages {

void ObservedChannel::sendSetIp(std::string_view mac, std::uint32_t newAddress, std::uint32_t newGateway) {
  ++setIpRequestsSent_;
  channel_.sendSetIp(mac, newAddress, newGateway);
}

std::vector<discovery::DecodedRecord> ObservedChannel::takeRecords() {
  std::vector<discovery::DecodedRecord> records = channel_.takeRecords();
  for (const discovery::DecodedRecord& record : records)
    if (const auto* reply = std::get_if<discovery::SetIpRecord>(&record)) answered_.emplace(reply->mac.text());
  return records;
}

}  // namespace pages
