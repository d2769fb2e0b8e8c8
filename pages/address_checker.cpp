#include "pages/address_checker.h"

#include <cstdio>
#include <system_error>

namespace pages {
namespace {

class LinkCheck : public RunningCheck {
 public:
  LinkCheck(discovery::HostNetwork& network, Timer& timer, const std::vector<std::uint32_t>& addresses,
            AddressChecker::Answered answered) {
    std::vector<discovery::Ipv4Bytes> asked;
    for (const std::uint32_t address : addresses) asked.push_back(discovery::toIpv4Bytes(address));
    auto alive = alive_;
    auto onUiThread = std::make_shared<AddressChecker::Answered>(std::move(answered));
    const auto post = [&timer, alive, onUiThread](const AddressAnswer& answer) {
      timer.post([alive, onUiThread, answer] {
        if (*alive) (*onUiThread)(answer);
      });
    };
    try {
      check_ = std::make_unique<discovery::AddressCheck>(network, discovery::systemAddressProbe(), std::move(asked), post);
    } catch (const std::system_error& error) {
      // No thread: every address cannot be verified, never free.
      for (const auto& address : addresses) {
        AddressAnswer answer;
        answer.address = discovery::toIpv4Bytes(address);
        answer.reason = std::string("no thread for the check: ") + error.what();
        post(answer);
      }
    }
  }
  ~LinkCheck() override {
    check_.reset();  // its thread has ended: nothing more is posted
    *alive_ = false;
  }

 private:
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  std::unique_ptr<discovery::AddressCheck> check_;
};

}  // namespace

std::unique_ptr<RunningCheck> LinkAddressChecker::check(std::vector<std::uint32_t> addresses, Answered answered) {
  return std::make_unique<LinkCheck>(network_, timer_, addresses, std::move(answered));
}

std::uint32_t answeredAddress(const AddressAnswer& answer) { return discovery::toFieldsValue(answer.address); }

bool answeredByMac(const AddressAnswer& answer, std::string_view mac) {
  return answer.use == AddressUse::InUse && !answer.ownAddress && discovery::sameLinkAddress(mac, answer.linkAddress);
}

std::optional<AddressAnswer> answerWithoutTheLink(const std::vector<discovery::Adapter>& adapters,
                                                  std::uint32_t address) {
  return discovery::answerFromAdapters(adapters, discovery::toIpv4Bytes(address));
}

}  // namespace pages
