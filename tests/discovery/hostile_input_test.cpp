// Datagrams anyone on the network could send, straight into the decoder and
// the camera list: nothing malformed gives a record, a well-formed answer
// always does, and no text reaches past its field.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "discovery/camera_list.h"
#include "discovery/protocol.h"
#include "support/datagrams.h"

namespace discovery {
namespace {

using testsupport::searchReply;
using testsupport::setIpReply;

constexpr std::size_t kLongest = 1100;

// A well-formed answer, cut or padded with non-NUL bytes to `length`.
Bytes resized(Bytes datagram, std::size_t length) {
  datagram.resize(length, 'Z');
  return datagram;
}

TEST(HostileLengthTest, EveryLengthUpTo1100GivesARecordExactlyWhenTheWholeRecordIsThere) {
  const Bytes reply = searchReply("CAM-1", "10.0.0.5", "10.0.0.1");
  const Bytes moved = setIpReply("CAM-1", {192, 168, 1, 241}, {192, 168, 1, 1});
  for (std::size_t length = 0; length <= kLongest; ++length) {
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

TEST(HostileHeaderTest, RightMagicWithAnyOtherCommandGivesNothing) {
  const Bytes reply = searchReply("CAM-1");
  for (const std::uint32_t command : {0u, 0x100u, CMD_SEARCH, CMD_SET_IP, 0x105u, 0x10102u, 0x02010000u, 0xFFFFFFFFu}) {
    Bytes datagram = reply;
    const auto header = encodeHeader(command, DeviceInfoRecord::kSize);
    std::copy(header.begin(), header.end(), datagram.begin());
    EXPECT_FALSE(decode(datagram)) << "command " << std::hex << command;
  }
}

TEST(HostileHeaderTest, AnAnswerWithoutItsPayloadGivesNothingWhateverItsLengthFieldSays) {
  for (const std::uint32_t command : {CMD_SEARCH_REPLY, CMD_SET_IP_REPLY}) {
    for (const std::uint32_t claimed : {0u, 28u, 156u, 2032u, 0xFFFFFFFFu}) {
      const auto header = encodeHeader(command, claimed);
      EXPECT_FALSE(decode(header)) << "command " << command << " claiming " << claimed;
    }
  }
}

TEST(HostileHeaderTest, TheLengthFieldIsNotBelievedOverTheBytesThatCame) {
  Bytes reply = searchReply("CAM-1");
  const auto understated = encodeHeader(CMD_SEARCH_REPLY, 0);
  std::copy(understated.begin(), understated.end(), reply.begin());
  ASSERT_TRUE(decode(reply));
  EXPECT_EQ(std::get<DeviceInfoRecord>(*decode(reply)).mac.text(), "CAM-1");
}

TEST(HostileHeaderTest, OnlyTheExactMagicIsAccepted) {
  const Bytes reply = searchReply("CAM-1");
  for (std::size_t i = 0; i < 3; ++i) {
    for (const int delta : {-1, 1, 0x80}) {
      Bytes datagram = reply;
      datagram[i] = static_cast<std::uint8_t>(datagram[i] + delta);
      EXPECT_FALSE(decode(datagram)) << "magic byte " << i << " changed by " << delta;
    }
  }
}

TEST(HostileTextTest, FieldsFullToTheirLastByteEndThereAndNeverRunIntoTheNext) {
  // Every field without a NUL, and non-NUL bytes after the record.
  const Bytes datagram =
      resized(searchReply(std::string(20, 'M'), std::string(72, 'I'), std::string(64, 'G')), 1023);
  const auto decoded = decode(datagram);
  ASSERT_TRUE(decoded);
  const auto& record = std::get<DeviceInfoRecord>(*decoded);
  EXPECT_EQ(record.ip.text(), std::string(72, 'I'));
  EXPECT_EQ(record.mac.text(), std::string(20, 'M'));
  EXPECT_EQ(record.gateway.text(), std::string(64, 'G'));

  const auto setIp = decode(resized(setIpReply(std::string(20, 'M'), {1, 2, 3, 4}, {5, 6, 7, 8}), 1023));
  ASSERT_TRUE(setIp);
  EXPECT_EQ(std::get<SetIpRecord>(*setIp).mac.text(), std::string(20, 'M'));
}

TEST(HostileTextTest, BytesAfterATextsNulAreNotPartOfIt) {
  Bytes datagram = searchReply("CAM", "10.0.0.5", "10.0.0.1");
  std::memset(datagram.data() + 16 + 72 + 4, 'X', 16);  // after the MAC's NUL, inside its field
  const auto decoded = decode(datagram);
  ASSERT_TRUE(decoded);
  EXPECT_EQ(std::get<DeviceInfoRecord>(*decoded).mac.text(), "CAM");
}

DeviceInfoRecord deviceFrom(const Bytes& datagram) { return std::get<DeviceInfoRecord>(*decode(datagram)); }
SetIpRecord setIpFrom(const Bytes& datagram) { return std::get<SetIpRecord>(*decode(datagram)); }

TEST(HostileRowKeyTest, ATwentyByteMacIsTheWholeKeyWhateverGatewayFollows) {
  CameraList list;
  EXPECT_EQ(list.addDevice(deviceFrom(searchReply("0123456789ABCDEFGHIJ", "10.0.0.5", "10.0.0.1"))), 0u);
  EXPECT_FALSE(list.addDevice(deviceFrom(searchReply("0123456789ABCDEFGHIJ", "10.0.0.6", "10.9.9.9"))));
  // A longer MAC in a set-IP reply is cut to the same 20 bytes on the wire.
  EXPECT_EQ(list.applyIpChange(setIpFrom(setIpReply("0123456789ABCDEFGHIJKLMN", {1, 2, 3, 4}, {1, 2, 3, 1}))), 0u);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list.row(0).mac, "0123456789ABCDEFGHIJ");
  EXPECT_EQ(list.row(0).ip, "1.2.3.4");
}

TEST(HostileRowKeyTest, MacBytesThatAreNotGbkAreKeyedByTheirBytes) {
  // A lone lead byte, a lead byte before an ASCII byte, bytes GBK never uses.
  const std::string macs[] = {"CAM", "CAM\x81", "\x81\x30", "\x81", "\xFF\xFE\x80"};
  CameraList list;
  for (const std::string& mac : macs) EXPECT_TRUE(list.addDevice(deviceFrom(searchReply(mac)))) << mac;
  for (const std::string& mac : macs) EXPECT_FALSE(list.addDevice(deviceFrom(searchReply(mac, "10.9.9.9")))) << mac;
  EXPECT_EQ(list.applyIpChange(setIpFrom(setIpReply("CAM\x81", {1, 2, 3, 4}, {1, 2, 3, 1}))), 1u);
  ASSERT_EQ(list.size(), std::size(macs));
  EXPECT_EQ(list.row(0).ip, "10.0.0.5");  // "CAM" is another camera
  EXPECT_EQ(list.row(1).ip, "1.2.3.4");
}

TEST(HostileRowKeyTest, SetIpRepliesForUnlistedMacsNeverAddOrChangeARow) {
  CameraList list;
  list.addDevice(deviceFrom(searchReply("CAM")));
  for (const std::string mac : {"", "CA", "CAM ", "cam", "CAM\x81", "OTHER"})
    EXPECT_FALSE(list.applyIpChange(setIpFrom(setIpReply(mac, {1, 2, 3, 4}, {1, 2, 3, 1})))) << mac;
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list.row(0).ip, "10.0.0.5");
  EXPECT_EQ(list.row(0).gateway, "10.0.0.1");
}

}  // namespace
}  // namespace discovery
