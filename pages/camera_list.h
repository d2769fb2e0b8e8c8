// The cameras found so far, one row per MAC text, in the order they were first
// heard. A camera keeps the texts of its first search reply; a set-IP reply
// rewrites the addresses of its row. Anyone on the network can make up MACs,
// so the rows stop at a cap far above any real site.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "discovery/protocol.h"

namespace pages {

// Texts are the wire bytes, unconverted; the MAC text is the row's key and
// is compared byte for byte.
struct CameraRow {
  std::string mac;
  std::string ip;
  std::string gateway;
};

// About 30 MB of rows with their list view; large sites have a few thousand
// cameras.
inline constexpr std::size_t kMaxCameraRows = 100'000;

class CameraList {
 public:
  explicit CameraList(std::size_t maxRows = kMaxCameraRows) : maxRows_(maxRows) {}

  // Appends a row for a MAC not listed yet and returns its index; a listed
  // MAC, or any MAC once the list is full, changes nothing.
  std::optional<std::size_t> addDevice(const discovery::DeviceInfoRecord& record);
  // Rewrites address and gateway of the row with the record's MAC; returns
  // its index, or nothing when the MAC is not listed.
  std::optional<std::size_t> applyIpChange(const discovery::SetIpRecord& record);

  std::size_t size() const { return rows_.size(); }
  const CameraRow& row(std::size_t index) const { return rows_[index]; }
  std::span<const CameraRow> rows() const { return rows_; }
  // The row of this MAC text; null when it is not listed.
  const CameraRow* find(const std::string& mac) const {
    const auto found = rowOfMac_.find(mac);
    return found == rowOfMac_.end() ? nullptr : &rows_[found->second];
  }

 private:
  std::size_t maxRows_;
  std::vector<CameraRow> rows_;
  std::unordered_map<std::string, std::size_t> rowOfMac_;
};

// The list as a view shows it: records are absorbed in batches, and the view
// hears of the rows added and rewritten when they are published, not record
// by record. Rows only ever get appended or rewritten.
class ShownCameraList {
 public:
  explicit ShownCameraList(std::size_t maxRows = kMaxCameraRows) : cameras_(maxRows) {}

  // Applies search replies and set-IP replies in their order.
  void absorb(std::span<const discovery::DecodedRecord> records);

  // What changed since the last publish(): rows [shownBefore, shown) are new
  // to the view; of the rows it already showed, those from firstRewritten to
  // lastRewritten (inclusive) may have new addresses, when anyRewritten.
  struct Changes {
    std::size_t shownBefore = 0;
    std::size_t shown = 0;
    bool anyRewritten = false;
    std::size_t firstRewritten = 0;
    std::size_t lastRewritten = 0;
  };
  Changes publish();

  // Rows the view has been told of.
  std::size_t shownRows() const { return shown_; }
  // Every row absorbed, published or not.
  const CameraList& cameras() const { return cameras_; }

 private:
  CameraList cameras_;
  std::size_t shown_ = 0;
  std::optional<std::size_t> firstRewritten_;
  std::size_t lastRewritten_ = 0;
};

}  // namespace pages
