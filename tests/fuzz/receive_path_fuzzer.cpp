// Fuzz target for everything a datagram from the network goes through: the
// receive buffer, decoding, the texts, their GBK decoding for display and the
// camera list's rows. One input is a run of datagrams, each a 16-bit
// little-endian length followed by that many bytes (the last one takes what
// is left), read one after another as the receive thread would.
//
// Each datagram is held against the wire format as an oracle, and the list
// against a plain row-by-row reading of the list rules: one row per MAC text
// in first-heard order, first texts kept, a set-IP reply rewriting its row.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "pages/camera_list.h"
#include "discovery/receive_path.h"
#include "invariant.h"
#include "qt/gbk.h"

namespace {

using namespace discovery;
using pages::CameraList;
using pages::CameraRow;
using Wire = std::span<const std::uint8_t>;

std::vector<Wire> splitDatagrams(Wire input) {
  std::vector<Wire> datagrams;
  while (input.size() >= 2) {
    const std::size_t length = std::min<std::size_t>(input[0] | input[1] << 8, input.size() - 2);
    datagrams.push_back(input.subspan(2, length));
    input = input.subspan(2 + length);
  }
  return datagrams;
}

// As the socket fills a receive slot: at most 1023 bytes and a NUL after
// them; a longer datagram is flagged as cut short. The rest of the slot holds
// whatever the previous datagram left there.
void receiveInto(ReceivedDatagram& slot, Wire wire) {
  slot.length = std::min(wire.size(), kReceiveBufferSize - 1);
  slot.truncated = wire.size() > slot.length;
  std::copy_n(wire.begin(), slot.length, slot.bytes.begin());
  slot.bytes[slot.length] = 0;
}

std::uint32_t command(Wire wire) { return wire[4] | wire[5] << 8 | wire[6] << 16 | std::uint32_t{wire[7]} << 24; }

// The wire format read straight from its tables: a search reply or set-IP
// reply that holds its whole record and fits the receive buffer.
bool isWellFormedAnswer(Wire wire) {
  if (wire.size() > kReceiveBufferSize - 1 || wire.size() < 16 || wire[0] != 0xAB || wire[1] != 0xCD ||
      wire[2] != 0xEF)
    return false;
  const std::size_t recordSize = command(wire) == 0x102 ? 156 : command(wire) == 0x104 ? 28 : 0;
  return recordSize > 0 && wire.size() >= 16 + recordSize;
}

// A text field's bytes up to its first NUL, never beyond its span.
template <std::size_t N>
void checkText(const TextField<N>& field, Wire wire, std::size_t offset) {
  require(std::memcmp(field.bytes.data(), wire.data() + offset, N) == 0, "field bytes are the datagram's");
  const std::string_view text = field.text();
  require(text.size() == strnlen(field.bytes.data(), N), "text ends at its first NUL or its span");
  const QString shown = qtui::fromGbk(text);
  require(shown.size() <= static_cast<qsizetype>(text.size()), "at most one character per byte shown");
  if (std::all_of(text.begin(), text.end(), [](unsigned char c) { return c > 0 && c < 0x80; }))
    require(shown == QLatin1StringView(text.data(), static_cast<qsizetype>(text.size())), "ASCII shown as is");
}

std::string dotted(const Ipv4Bytes& address) {
  char text[16];
  std::snprintf(text, sizeof text, "%d.%d.%d.%d", address[0], address[1], address[2], address[3]);
  return text;
}

// The list rules taken literally: every lookup scans all rows.
class PlainList {
 public:
  std::optional<std::size_t> deviceFound(const DeviceInfoRecord& record) {
    for (const CameraRow& row : rows_)
      if (row.mac == record.mac.text()) return std::nullopt;
    rows_.push_back(
        {std::string(record.mac.text()), std::string(record.ip.text()), std::string(record.gateway.text())});
    return rows_.size() - 1;
  }
  std::optional<std::size_t> ipChanged(const SetIpRecord& record) {
    std::optional<std::size_t> changed;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
      if (rows_[i].mac != record.mac.text()) continue;
      require(!changed, "a MAC is listed once");
      rows_[i].ip = dotted(record.newAddress);
      rows_[i].gateway = dotted(record.newGateway);
      changed = i;
    }
    return changed;
  }
  const std::vector<CameraRow>& rows() const { return rows_; }

 private:
  std::vector<CameraRow> rows_;
};

bool sameRow(const CameraRow& a, const CameraRow& b) {
  return a.mac == b.mac && a.ip == b.ip && a.gateway == b.gateway;
}

void checkRow(const CameraList& list, const PlainList& plain, std::optional<std::size_t> index) {
  require(list.size() == plain.rows().size(), "row count");
  if (index) require(sameRow(list.row(*index), plain.rows()[*index]), "the row just changed");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static ReceivedDatagram slot;  // reused, as the receive thread reuses its slots
  CameraList list;
  PlainList plain;
  for (const Wire wire : splitDatagrams({data, size})) {
    receiveInto(slot, wire);
    const auto record = decodeReceived(slot);
    require(record.has_value() == isWellFormedAnswer(wire), "a record exactly from a well-formed answer");
    if (!record) continue;
    if (const auto* device = std::get_if<DeviceInfoRecord>(&*record)) {
      checkText(device->ip, wire, 16);
      checkText(device->mac, wire, 88);
      checkText(device->gateway, wire, 108);
      const auto added = list.addDevice(*device);
      require(added == plain.deviceFound(*device), "device found: same row added, or none");
      checkRow(list, plain, added);
    } else {
      const auto& setIp = std::get<SetIpRecord>(*record);
      checkText(setIp.mac, wire, 16);
      require(std::equal(setIp.newAddress.begin(), setIp.newAddress.end(), wire.begin() + 36) &&
                  std::equal(setIp.newGateway.begin(), setIp.newGateway.end(), wire.begin() + 40),
              "set-IP addresses are the datagram's bytes");
      const auto changed = list.applyIpChange(setIp);
      require(changed == plain.ipChanged(setIp), "IP changed: same row rewritten, or none");
      checkRow(list, plain, changed);
    }
  }
  for (std::size_t i = 0; i < list.size(); ++i) require(sameRow(list.row(i), plain.rows()[i]), "every row in the end");
  return 0;
}
