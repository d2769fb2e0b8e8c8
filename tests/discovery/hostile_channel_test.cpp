// Bad datagrams on the wire, through the real socket and receive thread:
// nothing malformed reaches the receiver, every well-formed answer among
// them does, intact and in order.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "discovery/channel.h"
#include "support/datagrams.h"
#include "support/hostile_datagrams.h"
#include "support/recording_receiver.h"
#include "support/wire_peer.h"

namespace discovery {
namespace {

using testsupport::RecordingReceiver;
using testsupport::searchReply;
using testsupport::setIpReply;
using Records = RecordingReceiver::Records;

std::string_view macOf(const DecodedRecord& record) {
  if (const auto* device = std::get_if<DeviceInfoRecord>(&record)) return device->mac.text();
  return std::get<SetIpRecord>(record).mac.text();
}

bool isSentinel(const DecodedRecord& record) { return macOf(record).starts_with("SENTINEL-"); }

class HostileChannelTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(peer.ok()) << "the test peer could not open its sockets";
    ASSERT_EQ(channel.open(), 1) << channel.openError();
  }

  // Sends the datagrams in chunks that the receive buffer holds even if the
  // receive thread read nothing meanwhile, so the kernel drops none; each
  // chunk ends with a sentinel answer, and once it has arrived everything
  // before it has. Returns what the receiver got, less the sentinels.
  Records deliver(const std::vector<Bytes>& datagrams) {
    const std::size_t chunk = testsupport::datagramsHeldBy(channel.receiveBufferBytes());
    for (std::size_t start = 0; start < datagrams.size(); start += chunk) {
      const std::size_t end = std::min(datagrams.size(), start + chunk);
      for (std::size_t i = start; i < end; ++i) peer.sendToGroup(datagrams[i]);
      const std::string sentinel = "SENTINEL-" + std::to_string(sentinels_++);
      peer.sendToGroup(searchReply(sentinel));
      const auto isLast = [&](const Records& records) { return !records.empty() && macOf(records.back()) == sentinel; };
      if (!receiver.waitUntil(isLast)) {
        ADD_FAILURE() << sentinel << " never arrived";
        break;
      }
    }
    Records records = receiver.records();
    std::erase_if(records, isSentinel);
    return records;
  }

  SystemNetwork network;
  RecordingReceiver receiver;
  MulticastChannel channel{receiver, network};
  testsupport::WirePeer peer;

 private:
  int sentinels_ = 0;
};

// An answer whose MAC names its length, cut or padded with non-NUL bytes to it.
Bytes ofLength(Bytes answer, std::size_t length) {
  answer.resize(length, 'Z');
  return answer;
}

TEST_F(HostileChannelTest, EveryLengthUpTo1100ArrivesExactlyWhenWholeAndWithinTheReceiveBuffer) {
  std::vector<Bytes> datagrams;
  std::vector<std::string> expected;
  for (std::size_t length = 0; length <= 1100; ++length) {
    const std::string mac = "LEN-" + std::to_string(length);
    datagrams.push_back(ofLength(searchReply(mac), length));
    if (length >= 16 + DeviceInfoRecord::kSize && length <= 1023) expected.push_back(mac);
  }
  for (std::size_t length = 0; length <= 1100; ++length) {
    const std::string mac = "SET-" + std::to_string(length);
    datagrams.push_back(ofLength(setIpReply(mac, {1, 2, 3, 4}, {1, 2, 3, 1}), length));
    if (length >= 16 + SetIpRecord::kSize && length <= 1023) expected.push_back(mac);
  }
  std::vector<std::string> arrived;
  for (const DecodedRecord& record : deliver(datagrams)) arrived.emplace_back(macOf(record));
  EXPECT_EQ(arrived, expected);
}

TEST_F(HostileChannelTest, JunkNeverReachesTheReceiverAndTheAnswersAmongItArriveIntact) {
  testsupport::Random random(20261208);
  std::vector<Bytes> datagrams;
  Records expected;
  for (int i = 0; i < 20000; ++i) {
    if (i % 10 != 0) {
      datagrams.push_back(testsupport::junkDatagram(random));
      continue;
    }
    // Odd MACs: arbitrary bytes, 20 bytes without a NUL, bytes GBK never uses.
    const std::string mac = i % 30 == 0 ? std::string(20, static_cast<char>(0xFF)) : testsupport::randomMac(random);
    datagrams.push_back(i % 20 == 0 ? setIpReply(mac, {10, 0, 0, 9}, {10, 0, 0, 1}) : searchReply(mac));
    expected.push_back(*decode(datagrams.back()));
  }
  const Records arrived = deliver(datagrams);
  ASSERT_EQ(arrived.size(), expected.size());
  EXPECT_TRUE(arrived == expected);
}

}  // namespace
}  // namespace discovery
