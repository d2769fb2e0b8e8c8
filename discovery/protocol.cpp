#include "discovery/protocol.h"

#include <algorithm>
#include <charconv>
#include <cstring>

namespace discovery {
namespace {

void putLittleEndian32(std::uint8_t* out, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) out[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint32_t getLittleEndian32(const std::uint8_t* in) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | in[i];
  return value;
}

template <std::size_t N>
void readField(TextField<N>& field, const std::uint8_t* from) {
  std::memcpy(field.bytes.data(), from, N);
}

template <std::size_t N>
std::uint8_t* writeField(const TextField<N>& field, std::uint8_t* to) {
  std::memcpy(to, field.bytes.data(), N);
  return to + N;
}

SetIpRecord readSetIpRecord(const std::uint8_t* payload) {
  SetIpRecord record;
  readField(record.mac, payload);
  std::copy_n(payload + 20, 4, record.newAddress.begin());
  std::copy_n(payload + 24, 4, record.newGateway.begin());
  return record;
}

}  // namespace

Ipv4Bytes toIpv4Bytes(std::uint32_t fieldsValue) {
  return {static_cast<std::uint8_t>(fieldsValue >> 24), static_cast<std::uint8_t>(fieldsValue >> 16),
          static_cast<std::uint8_t>(fieldsValue >> 8), static_cast<std::uint8_t>(fieldsValue)};
}

std::uint32_t toFieldsValue(const Ipv4Bytes& bytes) {
  return (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) |
         (std::uint32_t{bytes[2]} << 8) | std::uint32_t{bytes[3]};
}

std::string formatAddress(const Ipv4Bytes& bytes) {
  std::string text;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (i > 0) text += '.';
    text += std::to_string(bytes[i]);
  }
  return text;
}

std::optional<Ipv4Bytes> parseAddress(std::string_view text) {
  Ipv4Bytes bytes{};
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const bool last = i + 1 == bytes.size();
    const std::size_t dot = text.find('.');
    if (last != (dot == std::string_view::npos)) return std::nullopt;
    const std::string_view part = text.substr(0, dot);
    unsigned value = 0;
    const auto [end, error] = std::from_chars(part.data(), part.data() + part.size(), value);
    if (part.empty() || error != std::errc{} || end != part.data() + part.size() || value > 255) return std::nullopt;
    bytes[i] = static_cast<std::uint8_t>(value);
    if (!last) text.remove_prefix(dot + 1);
  }
  return bytes;
}

std::array<std::uint8_t, DiscoveryHeader::kSize> encodeHeader(std::uint32_t command,
                                                              std::uint32_t payloadLength) {
  std::array<std::uint8_t, DiscoveryHeader::kSize> header{};
  std::copy(DiscoveryHeader::kMagic.begin(), DiscoveryHeader::kMagic.end(), header.begin());
  putLittleEndian32(&header[4], command);
  putLittleEndian32(&header[12], payloadLength);
  return header;
}

std::array<std::uint8_t, SetIpRecord::kSize> encodeSetIpRequest(std::string_view macText,
                                                                std::uint32_t newAddress,
                                                                std::uint32_t newGateway) {
  SetIpRecord record;
  record.mac.assign(macText);
  record.newAddress = toIpv4Bytes(newAddress);
  record.newGateway = toIpv4Bytes(newGateway);
  return encodeRecord(record);
}

std::array<std::uint8_t, DeviceInfoRecord::kSize> encodeRecord(const DeviceInfoRecord& record) {
  std::array<std::uint8_t, DeviceInfoRecord::kSize> out{};
  writeField(record.gateway, writeField(record.mac, writeField(record.ip, out.data())));
  return out;
}

std::array<std::uint8_t, SetIpRecord::kSize> encodeRecord(const SetIpRecord& record) {
  std::array<std::uint8_t, SetIpRecord::kSize> out{};
  std::uint8_t* next = writeField(record.mac, out.data());
  next = std::copy(record.newAddress.begin(), record.newAddress.end(), next);
  std::copy(record.newGateway.begin(), record.newGateway.end(), next);
  return out;
}

Bytes encodeDatagram(std::uint32_t command, std::span<const std::uint8_t> payload) {
  const auto header = encodeHeader(command, static_cast<std::uint32_t>(payload.size()));
  Bytes datagram(header.size() + payload.size());
  std::copy(header.begin(), header.end(), datagram.begin());
  std::copy(payload.begin(), payload.end(), datagram.begin() + header.size());
  return datagram;
}

std::optional<std::uint32_t> commandOf(std::span<const std::uint8_t> datagram) {
  if (datagram.size() < DiscoveryHeader::kSize ||
      !std::equal(DiscoveryHeader::kMagic.begin(), DiscoveryHeader::kMagic.end(), datagram.begin()))
    return std::nullopt;
  return getLittleEndian32(&datagram[4]);
}

std::optional<DecodedRecord> decode(std::span<const std::uint8_t> datagram) {
  const auto command = commandOf(datagram);
  if (!command) return std::nullopt;
  const std::uint8_t* payload = datagram.data() + DiscoveryHeader::kSize;
  const std::size_t payloadBytes = datagram.size() - DiscoveryHeader::kSize;
  if (*command == CMD_SEARCH_REPLY && payloadBytes >= DeviceInfoRecord::kSize) {
    DeviceInfoRecord record;
    readField(record.ip, payload);
    readField(record.mac, payload + 72);
    readField(record.gateway, payload + 92);
    return record;
  }
  if (*command == CMD_SET_IP_REPLY && payloadBytes >= SetIpRecord::kSize) return readSetIpRecord(payload);
  return std::nullopt;
}

std::optional<SetIpRecord> decodeSetIpRequest(std::span<const std::uint8_t> datagram) {
  const auto command = commandOf(datagram);
  if (command != CMD_SET_IP || datagram.size() < DiscoveryHeader::kSize + SetIpRecord::kSize)
    return std::nullopt;
  return readSetIpRecord(datagram.data() + DiscoveryHeader::kSize);
}

}  // namespace discovery
