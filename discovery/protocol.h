// The discovery wire format: a 16-byte header, then a record whose shape
// depends on the command. Texts are opaque bytes here; nothing is converted.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace discovery {

inline constexpr std::uint32_t CMD_SEARCH = 0x101;
inline constexpr std::uint32_t CMD_SEARCH_REPLY = 0x102;
inline constexpr std::uint32_t CMD_SET_IP = 0x103;
inline constexpr std::uint32_t CMD_SET_IP_REPLY = 0x104;

// An IPv4 address as it travels: first octet of the dotted form first.
using Ipv4Bytes = std::array<std::uint8_t, 4>;

// The address input's value has the first field in the most significant byte.
Ipv4Bytes toIpv4Bytes(std::uint32_t fieldsValue);
std::uint32_t toFieldsValue(const Ipv4Bytes& bytes);

// "%d.%d.%d.%d" of the four bytes in wire order.
std::string formatAddress(const Ipv4Bytes& bytes);
// The reverse: four decimal parts 0-255 separated by dots, nothing else.
std::optional<Ipv4Bytes> parseAddress(std::string_view text);

// The 16-byte header: magic bytes, then (little-endian) the command at
// offset 4 and the payload's length at offset 12.
struct DiscoveryHeader {
  static constexpr std::size_t kSize = 16;
  static constexpr std::array<std::uint8_t, 3> kMagic{0xAB, 0xCD, 0xEF};
};

// A fixed-span text field; it ends at its first NUL or at the end of its span.
template <std::size_t N>
struct TextField {
  std::array<char, N> bytes{};

  std::string_view text() const {
    std::size_t length = 0;
    while (length < N && bytes[length] != '\0') ++length;
    return {bytes.data(), length};
  }
  // Copies at most N bytes of the text; a shorter text is NUL-padded.
  void assign(std::string_view text) {
    bytes.fill('\0');
    text.copy(bytes.data(), N);
  }
  friend bool operator==(const TextField&, const TextField&) = default;
};

struct DeviceInfoRecord {
  static constexpr std::size_t kSize = 156;

  TextField<72> ip;
  TextField<20> mac;
  TextField<64> gateway;
  friend bool operator==(const DeviceInfoRecord&, const DeviceInfoRecord&) = default;
};

struct SetIpRecord {
  static constexpr std::size_t kSize = 28;

  TextField<20> mac;
  Ipv4Bytes newAddress{};
  Ipv4Bytes newGateway{};
  friend bool operator==(const SetIpRecord&, const SetIpRecord&) = default;
};

using Bytes = std::vector<std::uint8_t>;

// Encode header: magic bytes, command and payload length; byte 3 and bytes
// 8-11 are zero.
std::array<std::uint8_t, DiscoveryHeader::kSize> encodeHeader(std::uint32_t command,
                                                              std::uint32_t payloadLength);

// Encode set-IP request: the MAC text (a text of 20 bytes or more is cut to
// its first 20 bytes with no terminator), then both addresses taken from the
// address input's value and written most significant byte first.
std::array<std::uint8_t, SetIpRecord::kSize> encodeSetIpRequest(std::string_view macText,
                                                                std::uint32_t newAddress,
                                                                std::uint32_t newGateway);

std::array<std::uint8_t, DeviceInfoRecord::kSize> encodeRecord(const DeviceInfoRecord& record);
std::array<std::uint8_t, SetIpRecord::kSize> encodeRecord(const SetIpRecord& record);

// A whole datagram: header followed by the payload.
Bytes encodeDatagram(std::uint32_t command, std::span<const std::uint8_t> payload);

// What a received datagram carries, when it is one of the two answers the
// program handles.
using DecodedRecord = std::variant<DeviceInfoRecord, SetIpRecord>;

// Decode: accepts the magic bytes whatever byte 3 holds, then takes the record
// of a search reply or a set-IP reply from offset 16. Everything else,
// including the program's own requests and datagrams too short to hold the
// whole record, gives nothing.
std::optional<DecodedRecord> decode(std::span<const std::uint8_t> datagram);

// The command of a datagram whose header carries the magic bytes (used by the
// camera simulator, which answers requests rather than replies).
std::optional<std::uint32_t> commandOf(std::span<const std::uint8_t> datagram);

// Decodes a set-IP request; nothing unless the command is CMD_SET_IP and the
// whole record is present.
std::optional<SetIpRecord> decodeSetIpRequest(std::span<const std::uint8_t> datagram);

}  // namespace discovery
