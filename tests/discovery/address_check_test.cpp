// The address check without a link: the rule over the PC's adapters, what
// the check hands the probe, and its end, with a probe the test plays.
#include <gmock/gmock.h>

#include <condition_variable>
#include <map>
#include <mutex>
#include <stop_token>
#include <string>
#include <vector>

#include "discovery/address_check.h"
#include "support/fixed_network.h"

namespace {

using discovery::Adapter;
using discovery::AddressAnswer;
using discovery::AddressUse;
using discovery::Ipv4Bytes;

Ipv4Bytes address(const char* text) { return discovery::parseAddress(text).value(); }

Adapter adapter(const char* name, const char* ownAddress, int prefixLength, bool up = true) {
  Adapter made;
  made.name = name;
  made.addresses = {{address(ownAddress), prefixLength}};
  made.up = up;
  return made;
}

std::string verdict(const AddressAnswer& answer) {
  if (answer.use == AddressUse::InUse) return answer.ownAddress ? "own" : "in use by " + answer.linkAddress;
  if (answer.use == AddressUse::Free) return "free";
  return answer.reason.empty() ? "cannot verify, without a reason" : "cannot verify";
}

std::string ruling(const std::vector<Adapter>& adapters, const char* text) {
  const auto answer = discovery::answerFromAdapters(adapters, address(text));
  return answer ? verdict(*answer) : "ask the link";
}

TEST(AddressRuleTest, AsksTheLinkOnlyAboutOtherHostsInTheSubnetOfAnAdapterThatIsUp) {
  Adapter loopback = adapter("lo", "127.0.0.1", 8);
  loopback.loopback = true;
  const std::vector<Adapter> adapters = {adapter("eth0", "192.168.1.10", 24), adapter("eth1", "10.0.0.1", 8, false),
                                         loopback, adapter("link", "172.16.0.0", 31),
                                         adapter("tun0", "172.17.0.1", 32), adapter("odd", "172.18.0.1", 40)};
  EXPECT_EQ(ruling(adapters, "192.168.1.77"), "ask the link");
  EXPECT_EQ(ruling(adapters, "172.16.0.1"), "ask the link");  // a /31 has no network or broadcast address
  EXPECT_EQ(ruling(adapters, "192.168.1.10"), "own");
  EXPECT_EQ(ruling(adapters, "10.0.0.1"), "own");  // even on an adapter that is down
  EXPECT_EQ(ruling(adapters, "10.0.0.2"), "cannot verify");
  EXPECT_EQ(ruling(adapters, "127.0.0.5"), "cannot verify");
  EXPECT_EQ(ruling(adapters, "192.168.1.0"), "cannot verify");
  EXPECT_EQ(ruling(adapters, "192.168.1.255"), "cannot verify");
  EXPECT_EQ(ruling(adapters, "172.17.0.2"), "cannot verify");
  EXPECT_EQ(ruling(adapters, "172.18.0.2"), "cannot verify");
  EXPECT_EQ(ruling(adapters, "10.99.0.5"), "cannot verify");
  EXPECT_EQ(ruling({}, "192.168.1.77"), "cannot verify");
}

TEST(AddressRuleTest, WritesLinkAddressesInLowerCaseHex) {
  const unsigned char bytes[] = {0x02, 0xAB, 0x00, 0xff, 0x10, 0x9c};
  EXPECT_EQ(discovery::formatLinkAddress(bytes, sizeof bytes), "02:ab:00:ff:10:9c");
  EXPECT_EQ(discovery::formatLinkAddress(bytes, 0), "");
}

TEST(AddressRuleTest, TellsTheSameLinkAddressWhateverItsCaseAndSeparators) {
  EXPECT_TRUE(discovery::sameLinkAddress("00-1A-2B-3C-4D-5E", "00:1a:2b:3c:4d:5e"));
  EXPECT_TRUE(discovery::sameLinkAddress("001a.2b3c.4d5e", "00:1a:2b:3c:4d:5e"));
  EXPECT_FALSE(discovery::sameLinkAddress("00:1a:2b:3c:4d:5f", "00:1a:2b:3c:4d:5e"));
  EXPECT_FALSE(discovery::sameLinkAddress("00:1a:2b:3c:4d", "00:1a:2b:3c:4d:5e"));
  EXPECT_FALSE(discovery::sameLinkAddress("00:1a:2b:3c:4d:5g", "00:1a:2b:3c:4d:5"));
  EXPECT_FALSE(discovery::sameLinkAddress("", ""));
  EXPECT_FALSE(discovery::sameLinkAddress(std::string("00:1a\0", 7), "00:1a"));
}

// Answers whatever it is asked as taken by 02:00:00:00:00:01, or, when told
// to, waits until it is stopped.
class PlayedProbe : public discovery::AddressProbe {
 public:
  explicit PlayedProbe(bool waitsForStop = false) : waitsForStop_(waitsForStop) {}

  void probe(const std::vector<Ipv4Bytes>& addresses, std::stop_token stop, const Answered& answered) override {
    std::unique_lock lock(mutex_);
    asked_.push_back(addresses);
    changed_.notify_all();
    if (waitsForStop_) {
      changed_.wait(lock, stop, [] { return false; });
      return;
    }
    lock.unlock();
    for (const Ipv4Bytes& asked : addresses) answered({asked, AddressUse::InUse, "02:00:00:00:00:01", false, {}});
  }

  void awaitAsked() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !asked_.empty(); });
  }
  std::vector<std::vector<Ipv4Bytes>> asked() {
    const std::lock_guard lock(mutex_);
    return asked_;
  }

 private:
  const bool waitsForStop_;
  std::mutex mutex_;
  std::condition_variable_any changed_;
  std::vector<std::vector<Ipv4Bytes>> asked_;
};

// The answers a check hands on, as they come.
class Answers {
 public:
  discovery::AddressProbe::Answered sink() {
    return [this](const AddressAnswer& answer) {
      const std::lock_guard lock(mutex_);
      verdicts_[discovery::formatAddress(answer.address)] = verdict(answer);
      ++count_;
      changed_.notify_all();
    };
  }
  std::map<std::string, std::string> awaitCount(std::size_t count) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return count_ >= count; });
    return verdicts_;
  }
  std::size_t count() {
    const std::lock_guard lock(mutex_);
    return count_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::map<std::string, std::string> verdicts_;
  std::size_t count_ = 0;
};

class NoAdapterList : public discovery::HostNetwork {
 public:
  std::optional<std::vector<Adapter>> adapters() override { return std::nullopt; }
};

TEST(AddressCheckTest, AsksTheProbeAboutEveryOnLinkAddressAtOnceAndEachOnce) {
  testsupport::FixedNetwork network({adapter("eth0", "192.168.1.10", 24)});
  PlayedProbe probe;
  Answers answers;
  const discovery::AddressCheck check(
      network, probe,
      {address("192.168.1.77"), address("192.168.1.10"), address("10.99.0.5"), address("192.168.1.77"),
       address("192.168.1.78")},
      answers.sink());
  EXPECT_EQ(answers.awaitCount(4), (std::map<std::string, std::string>{{"192.168.1.77", "in use by 02:00:00:00:00:01"},
                                                                       {"192.168.1.78", "in use by 02:00:00:00:00:01"},
                                                                       {"192.168.1.10", "own"},
                                                                       {"10.99.0.5", "cannot verify"}}));
  EXPECT_EQ(probe.asked(), (std::vector<std::vector<Ipv4Bytes>>{{address("192.168.1.77"), address("192.168.1.78")}}));
}

TEST(AddressCheckTest, CannotVerifyAnythingWhenTheAdaptersCannotBeListed) {
  NoAdapterList network;
  PlayedProbe probe;
  Answers answers;
  const discovery::AddressCheck check(network, probe, {address("192.168.1.77"), address("192.168.1.78")},
                                      answers.sink());
  EXPECT_EQ(answers.awaitCount(2), (std::map<std::string, std::string>{{"192.168.1.77", "cannot verify"},
                                                                       {"192.168.1.78", "cannot verify"}}));
  EXPECT_TRUE(probe.asked().empty());
}

TEST(AddressCheckTest, EndsWhileTheProbeWaitsAndAnswersNothingAfterwards) {
  testsupport::FixedNetwork network({adapter("eth0", "192.168.1.10", 24)});
  PlayedProbe probe(/*waitsForStop=*/true);
  Answers answers;
  {
    const discovery::AddressCheck check(network, probe, {address("192.168.1.10"), address("192.168.1.77")},
                                        answers.sink());
    probe.awaitAsked();
  }
  EXPECT_EQ(answers.count(), 1u);  // the PC's own address, known before the link was asked
}

}  // namespace
