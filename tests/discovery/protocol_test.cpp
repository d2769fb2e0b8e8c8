// The wire format: what the program sends, byte for byte, and what it takes
// from anything anyone on the network sends: nothing malformed gives a record,
// a well-formed answer always does, and no text reaches past its field.
#include "discovery/protocol.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>

#include "support/datagrams.h"

namespace discovery {
namespace {

using testing::ElementsAre;
using testsupport::resized;
using testsupport::searchReply;
using testsupport::setIpReply;

TEST(EncodeTest, SearchRequestIsTheBareHeader) {
  const auto header = encodeHeader(CMD_SEARCH, 0);
  EXPECT_THAT(header, ElementsAre(0xAB, 0xCD, 0xEF, 0, 0x01, 0x01, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0));
  EXPECT_EQ(encodeDatagram(CMD_SEARCH, {}).size(), 16u);
}

TEST(EncodeTest, SetIpRequestIsHeaderMacAndBothAddressesMostSignificantByteFirst) {
  const auto payload = encodeSetIpRequest("00:11:22:33:44:55", 0xC0A801F1, 0xC0A80101);
  const Bytes datagram = encodeDatagram(CMD_SET_IP, payload);
  ASSERT_EQ(datagram.size(), 44u);
  EXPECT_THAT(Bytes(datagram.begin(), datagram.begin() + 16),
              ElementsAre(0xAB, 0xCD, 0xEF, 0, 0x03, 0x01, 0, 0, 0, 0, 0, 0, 28, 0, 0, 0));
  EXPECT_EQ(std::memcmp(datagram.data() + 16, "00:11:22:33:44:55", 17), 0);
  EXPECT_THAT(Bytes(datagram.begin() + 33, datagram.end()),
              ElementsAre(0, 0, 0, 0xC0, 0xA8, 0x01, 0xF1, 0xC0, 0xA8, 0x01, 0x01));
}

TEST(EncodeTest, MacOfTwentyOrMoreBytesFillsItsSpanWithoutTerminator) {
  const auto payload = encodeSetIpRequest("0123456789ABCDEFGHIJKLMN", 1, 2);
  EXPECT_EQ(std::memcmp(payload.data(), "0123456789ABCDEFGHIJ", 20), 0);
  EXPECT_THAT(Bytes(payload.begin() + 20, payload.end()), ElementsAre(0, 0, 0, 1, 0, 0, 0, 2));
}

TEST(AddressTest, FieldsValueAndWireOrderAgree) {
  EXPECT_THAT(toIpv4Bytes(0xC0A801F1), ElementsAre(192, 168, 1, 241));
  EXPECT_EQ(toFieldsValue({10, 0, 0, 254}), 0x0A0000FEu);
  EXPECT_EQ(formatAddress({192, 168, 1, 241}), "192.168.1.241");
  EXPECT_EQ(formatAddress({0, 255, 7, 0}), "0.255.7.0");
}

TEST(AddressTest, ParsingTakesFourDecimalPartsAndNothingElse) {
  EXPECT_EQ(parseAddress("192.168.1.241"), (Ipv4Bytes{192, 168, 1, 241}));
  EXPECT_EQ(parseAddress("0.255.7.0"), (Ipv4Bytes{0, 255, 7, 0}));
  for (const char* text : {"", "192.168.0", "192.168.0.1.", "192.168.0.1.5", "192.168..1", ".192.168.0.1", "256.0.0.1",
                           "1.2.3.-4", "1.2.3.+4", "1.2.3.4 ", "a.b.c.d", "0x1.2.3.4"})
    EXPECT_FALSE(parseAddress(text).has_value()) << '"' << text << '"';
}

TEST(DecodeTest, SearchReplyGivesItsThreeTexts) {
  const auto decoded = decode(searchReply("AA:BB:CC:00:00:01", "10.0.0.5", "10.0.0.1"));
  ASSERT_TRUE(decoded);
  const auto& record = std::get<DeviceInfoRecord>(*decoded);
  EXPECT_EQ(record.ip.text(), "10.0.0.5");
  EXPECT_EQ(record.mac.text(), "AA:BB:CC:00:00:01");
  EXPECT_EQ(record.gateway.text(), "10.0.0.1");
  EXPECT_EQ(std::get<DeviceInfoRecord>(*decode(searchReply(""))).mac.text(), "");  // an empty MAC too
}

TEST(DecodeTest, SetIpReplyGivesMacAndBothAddresses) {
  SetIpRecord sent;
  sent.mac.assign("AA:BB");
  sent.newAddress = {192, 168, 1, 241};
  sent.newGateway = {192, 168, 1, 1};
  const auto decoded = decode(encodeDatagram(CMD_SET_IP_REPLY, encodeRecord(sent)));
  ASSERT_TRUE(decoded);
  EXPECT_EQ(std::get<SetIpRecord>(*decoded), sent);
}

TEST(DecodeTest, OnlyTheExactMagicIsAcceptedWhateverByteThreeHolds) {
  Bytes datagram = searchReply("M");
  for (int value : {0x00, 0x7F, 0xFF}) {
    datagram[3] = static_cast<std::uint8_t>(value);
    EXPECT_TRUE(decode(datagram)) << "byte 3 = " << value;
  }
  for (std::size_t i = 0; i < 3; ++i) {
    for (const int delta : {-1, 1, 0x80}) {
      Bytes changed = datagram;
      changed[i] = static_cast<std::uint8_t>(changed[i] + delta);
      EXPECT_FALSE(decode(changed)) << "magic byte " << i << " changed by " << delta;
    }
  }
}

TEST(DecodeTest, OwnRequestsAndEveryOtherCommandAreDropped) {
  const Bytes reply = searchReply("CAM-1");
  for (const std::uint32_t command : {0u, 0x100u, CMD_SEARCH, CMD_SET_IP, 0x105u, 0x10102u, 0x02010000u, 0xFFFFFFFFu}) {
    Bytes datagram = reply;
    const auto header = encodeHeader(command, DeviceInfoRecord::kSize);
    std::copy(header.begin(), header.end(), datagram.begin());
    EXPECT_FALSE(decode(datagram)) << "command " << std::hex << command;
  }
  EXPECT_FALSE(decode(encodeDatagram(CMD_SET_IP, encodeSetIpRequest("M", 1, 2))));
}

TEST(DecodeTest, EveryLengthUpTo1100GivesARecordExactlyWhenTheWholeRecordIsThere) {
  const Bytes reply = searchReply("CAM-1", "10.0.0.5", "10.0.0.1");
  const Bytes moved = setIpReply("CAM-1", {192, 168, 1, 241}, {192, 168, 1, 1});
  for (std::size_t length = 0; length <= 1100; ++length) {
    const auto device = decode(resized(reply, length));
    ASSERT_EQ(device.has_value(), length >= 16 + DeviceInfoRecord::kSize) << "search reply of " << length;
    if (device) {
      EXPECT_EQ(*device, decode(reply)) << "search reply of " << length;
    }
    const auto setIp = decode(resized(moved, length));
    ASSERT_EQ(setIp.has_value(), length >= 16 + SetIpRecord::kSize) << "set-IP reply of " << length;
    if (setIp) {
      EXPECT_EQ(*setIp, decode(moved)) << "set-IP reply of " << length;
    }
  }
}

TEST(DecodeTest, TheLengthFieldIsNotBelievedOverTheBytesThatCame) {
  for (const std::uint32_t command : {CMD_SEARCH_REPLY, CMD_SET_IP_REPLY})
    for (const std::uint32_t claimed : {0u, 28u, 156u, 2032u, 0xFFFFFFFFu})
      EXPECT_FALSE(decode(encodeHeader(command, claimed))) << "command " << command << " claiming " << claimed;
  Bytes reply = searchReply("CAM-1");
  const auto understated = encodeHeader(CMD_SEARCH_REPLY, 0);
  std::copy(understated.begin(), understated.end(), reply.begin());
  ASSERT_TRUE(decode(reply));
  EXPECT_EQ(std::get<DeviceInfoRecord>(*decode(reply)).mac.text(), "CAM-1");
}

TEST(DecodeTest, FieldsFullToTheirLastByteEndThereAndNeverRunIntoTheNext) {
  // Every field without a NUL, and non-NUL bytes after the record.
  const auto decoded = decode(resized(searchReply(std::string(20, 'M'), std::string(72, 'I'), std::string(64, 'G')), 1023));
  ASSERT_TRUE(decoded);
  const auto& record = std::get<DeviceInfoRecord>(*decoded);
  EXPECT_EQ(record.ip.text(), std::string(72, 'I'));
  EXPECT_EQ(record.mac.text(), std::string(20, 'M'));
  EXPECT_EQ(record.gateway.text(), std::string(64, 'G'));

  const auto setIp = decode(resized(setIpReply(std::string(20, 'M'), {1, 2, 3, 4}, {5, 6, 7, 8}), 1023));
  ASSERT_TRUE(setIp);
  EXPECT_EQ(std::get<SetIpRecord>(*setIp).mac.text(), std::string(20, 'M'));
}

TEST(DecodeTest, BytesAfterATextsNulAreNotPartOfIt) {
  Bytes datagram = searchReply("CAM", "10.0.0.5", "10.0.0.1");
  std::memset(datagram.data() + 16 + 72 + 4, 'X', 16);  // after the MAC's NUL, inside its field
  const auto decoded = decode(datagram);
  ASSERT_TRUE(decoded);
  EXPECT_EQ(std::get<DeviceInfoRecord>(*decoded).mac.text(), "CAM");
}

}  // namespace
}  // namespace discovery
