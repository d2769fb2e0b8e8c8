#include "discovery/protocol.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>

namespace discovery {
namespace {

using testing::ElementsAre;
using testing::ElementsAreArray;

Bytes searchReply(std::string_view ip, std::string_view mac, std::string_view gateway) {
  DeviceInfoRecord record;
  record.ip.assign(ip);
  record.mac.assign(mac);
  record.gateway.assign(gateway);
  return encodeDatagram(CMD_SEARCH_REPLY, encodeRecord(record));
}

TEST(EncodeTest, SearchRequestIsTheBareHeader) {
  const auto header = encodeHeader(CMD_SEARCH, 0);
  EXPECT_THAT(header, ElementsAre(0xAB, 0xCD, 0xEF, 0, 0x01, 0x01, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0));
  EXPECT_EQ(encodeDatagram(CMD_SEARCH, {}).size(), 16u);
}

TEST(EncodeTest, SetIpRequestMatchesTheDocumentedExampleByteForByte) {
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

TEST(DecodeTest, SearchReplyGivesItsThreeTexts) {
  const auto decoded = decode(searchReply("10.0.0.5", "AA:BB:CC:00:00:01", "10.0.0.1"));
  ASSERT_TRUE(decoded);
  const auto& record = std::get<DeviceInfoRecord>(*decoded);
  EXPECT_EQ(record.ip.text(), "10.0.0.5");
  EXPECT_EQ(record.mac.text(), "AA:BB:CC:00:00:01");
  EXPECT_EQ(record.gateway.text(), "10.0.0.1");
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

TEST(DecodeTest, MagicIsCheckedButByteThreeIsNot) {
  Bytes datagram = searchReply("1.2.3.4", "M", "1.2.3.1");
  for (int value : {0x00, 0x7F, 0xFF}) {
    datagram[3] = static_cast<std::uint8_t>(value);
    EXPECT_TRUE(decode(datagram)) << "byte 3 = " << value;
  }
  datagram[2] = 0xEE;
  EXPECT_FALSE(decode(datagram));
}

TEST(DecodeTest, OwnRequestsAndUnknownCommandsAreDropped) {
  EXPECT_FALSE(decode(encodeDatagram(CMD_SEARCH, {})));
  EXPECT_FALSE(decode(encodeDatagram(CMD_SET_IP, encodeSetIpRequest("M", 1, 2))));
  EXPECT_FALSE(decode(encodeDatagram(0x105, Bytes(156))));
}

TEST(DecodeTest, DatagramsTooShortForTheirRecordAreDropped) {
  const Bytes reply = searchReply("1.2.3.4", "M", "1.2.3.1");
  EXPECT_FALSE(decode(std::span(reply).first(171)));
  EXPECT_TRUE(decode(std::span(reply).first(172)));
  EXPECT_FALSE(decode(std::span(reply).first(3)));
  EXPECT_FALSE(decode({}));
  const Bytes setIp = encodeDatagram(CMD_SET_IP_REPLY, encodeSetIpRequest("M", 1, 2));
  EXPECT_FALSE(decode(std::span(setIp).first(43)));
  EXPECT_TRUE(decode(setIp));
}

TEST(DecodeTest, TextWithoutTerminatorEndsAtItsSpan) {
  const auto decoded = decode(searchReply("1.2.3.4", "ABCDEFGHIJKLMNOPQRST", "1.2.3.1"));
  ASSERT_TRUE(decoded);
  const auto& record = std::get<DeviceInfoRecord>(*decoded);
  EXPECT_EQ(record.mac.text(), "ABCDEFGHIJKLMNOPQRST");
  EXPECT_EQ(record.gateway.text(), "1.2.3.1");
}

TEST(DecodeTest, EmptyMacStillDecodes) {
  const auto decoded = decode(searchReply("1.2.3.4", "", "1.2.3.1"));
  ASSERT_TRUE(decoded);
  EXPECT_EQ(std::get<DeviceInfoRecord>(*decoded).mac.text(), "");
}

TEST(DecodeTest, TrailingBytesAfterTheRecordAreIgnored) {
  Bytes reply = searchReply("1.2.3.4", "M", "1.2.3.1");
  reply.resize(1023, 0x5A);
  EXPECT_TRUE(decode(reply));
}

}  // namespace
}  // namespace discovery
