#include "pages/site_plan.h"

#include <algorithm>
#include <array>
#include <map>
#include <optional>

#include "discovery/protocol.h"
#include "pages/csv_field.h"
#include "pages/csv_records.h"
#include "pages/addresses.h"
#include "pages/whole_file.h"
#include "res/strings.h"

namespace pages {
namespace {

namespace texts = ui::strings;

enum PlanColumn : std::size_t { kMac, kIp, kGateway, kPlanColumnCount };
using ColumnPlaces = std::array<std::optional<std::size_t>, kPlanColumnCount>;

std::string dotted(std::uint32_t address) { return discovery::formatAddress(discovery::toIpv4Bytes(address)); }

std::string_view trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string lowerAscii(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(), [](char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  });
  return lower;
}

// A cell as a problem quotes it: a cell can be as long as the file.
std::string excerpt(std::string_view cell) {
  constexpr std::size_t kLongest = 40;
  if (cell.size() <= kLongest) return std::string(cell);
  std::size_t end = 0;
  while (end < kLongest) end += std::max<std::size_t>(utf8SequenceLength(cell.substr(end)), 1);
  return std::string(cell.substr(0, end)) + "…";
}

// The headers people write, and the export's own (kCameraColumns; its
// gateway header reads "网关)").
std::optional<PlanColumn> columnNamed(std::string_view header) {
  static const std::map<std::string, PlanColumn> kNames{
      {"mac", kMac},
      {"mac address", kMac},
      {"mac地址", kMac},
      {lowerAscii(texts::kCameraColumns[0]), kMac},
      {"ip", kIp},
      {"ip address", kIp},
      {"address", kIp},
      {lowerAscii(texts::kCameraColumns[1]), kIp},
      {"gateway", kGateway},
      {"网关", kGateway},
      {texts::kCameraColumns[2], kGateway},
  };
  const auto found = kNames.find(lowerAscii(trimmed(header)));
  if (found == kNames.end()) return std::nullopt;
  return found->second;
}

ColumnPlaces placesOf(const std::vector<std::string>& headers) {
  ColumnPlaces places;
  for (std::size_t place = 0; place < headers.size(); ++place) {
    const auto column = columnNamed(headers[place]);
    if (column && !places[*column]) places[*column] = place;
  }
  return places;
}

// The bytes are UTF-8 (a byte-order mark dropped) or else GBK; text holds no
// NUL, so a binary file or UTF-16 is not text.
std::optional<std::string> planText(std::string_view bytes, const GbkDecoder& decode) {
  if (bytes.find('\0') != std::string_view::npos) return std::nullopt;
  constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  if (bytes.starts_with(kByteOrderMark)) bytes.remove_prefix(kByteOrderMark.size());
  if (isUtf8(bytes)) return std::string(bytes);
  std::string decoded = decode(bytes);
  if (!isUtf8(decoded) || decoded.find('\0') != std::string::npos) return std::nullopt;
  return decoded;
}

class RowReader {
 public:
  RowReader(const CsvRecord& record, const ColumnPlaces& places) : record_(record), places_(places) {
    row_.line = record.line;
  }

  SitePlanRow read(std::size_t headerWidth) && {
    if (record_.unclosedQuote) {
      add(PlanProblemKind::kUnclosedQuote, texts::planUnclosedQuote(row_.line));
    } else if (record_.fields.size() != headerWidth) {
      add(PlanProblemKind::kFieldCount, texts::planFieldCount(row_.line, headerWidth, record_.fields.size()));
    } else {
      readCells();
    }
    return std::move(row_);
  }

 private:
  const CsvRecord& record_;
  const ColumnPlaces& places_;
  SitePlanRow row_;

  void add(PlanProblemKind kind, std::string text) { row_.problems.push_back({kind, row_.line, std::move(text)}); }

  void readCells() {
    row_.mac = cell(kMac);
    if (row_.mac.empty()) return add(PlanProblemKind::kEmptyMac, texts::planEmptyMac(row_.line));
    const auto address = hostAddress(kIp);
    const auto gateway = hostAddress(kGateway);
    if (!address || !gateway) return;
    row_.address = *address;
    row_.gateway = *gateway;
    if ((*address >> 8) != (*gateway >> 8)) {
      add(PlanProblemKind::kGatewayElsewhere,
          texts::planGatewayElsewhere(row_.line, dotted(*gateway), dotted(*address)));
    }
  }
  std::string cell(PlanColumn column) const {
    return std::string(trimmed(withoutFormulaGuard(record_.fields[*places_[column]])));
  }
  // Nothing when the cell is not an address a camera may have; the row says why.
  std::optional<std::uint32_t> hostAddress(PlanColumn column) {
    const std::string text = cell(column);
    const auto bytes = discovery::parseAddress(text);
    if (!bytes) {
      add(PlanProblemKind::kBadAddress,
          texts::planBadAddress(row_.line, texts::kPlanColumnNames[column], excerpt(text)));
      return std::nullopt;
    }
    const std::uint32_t address = discovery::toFieldsValue(*bytes);
    if (!canBeHostAddress(address)) {
      add(PlanProblemKind::kNotHostAddress,
          texts::planNotHostAddress(row_.line, texts::kPlanColumnNames[column], text));
      return std::nullopt;
    }
    return address;
  }
};

// A MAC or an address planned twice: the later row names the earlier. MACs
// are compared without regard to case, as people type them either way.
void markDuplicates(std::vector<SitePlanRow>& rows) {
  std::map<std::string, std::size_t> lineOfMac;
  std::map<std::uint32_t, std::size_t> lineOfAddress;
  for (SitePlanRow& row : rows) {
    if (row.mac.empty()) continue;
    const auto [mac, newMac] = lineOfMac.try_emplace(lowerAscii(row.mac), row.line);
    if (!newMac) {
      row.problems.push_back({PlanProblemKind::kDuplicateMac, row.line,
                              texts::planDuplicateMac(row.line, excerpt(row.mac), mac->second)});
    }
    if (row.address == 0) continue;
    const auto [address, newAddress] = lineOfAddress.try_emplace(row.address, row.line);
    if (!newAddress) {
      row.problems.push_back({PlanProblemKind::kDuplicateAddress, row.line,
                              texts::planDuplicateAddress(row.line, dotted(row.address), address->second)});
    }
  }
}

}  // namespace

bool blocksSending(PlanProblemKind kind) { return kind != PlanProblemKind::kGatewayElsewhere; }

bool SitePlan::sendable() const {
  const auto blocking = [](const PlanProblem& problem) { return blocksSending(problem.kind); };
  return std::none_of(problems.begin(), problems.end(), blocking) &&
         std::none_of(rows.begin(), rows.end(), [&](const SitePlanRow& row) {
           return std::any_of(row.problems.begin(), row.problems.end(), blocking);
         });
}

SitePlan readSitePlan(std::string_view bytes, const GbkDecoder& decode) {
  SitePlan plan;
  const auto fileProblem = [&plan](PlanProblemKind kind, std::string text) {
    plan.problems.push_back({kind, 0, std::move(text)});
  };
  if (bytes.size() > kPlanMaxBytes) {
    fileProblem(PlanProblemKind::kTooLarge, texts::planTooLarge(kPlanMaxBytes >> 20));
    return plan;
  }
  const auto text = planText(bytes, decode);
  if (!text) {
    fileProblem(PlanProblemKind::kNotText, texts::kPlanNotText);
    return plan;
  }

  std::optional<std::size_t> headerWidth;
  ColumnPlaces places;
  forEachCsvRecord(*text, detectSeparator(*text), [&](CsvRecord&& record) {
    if (!headerWidth) {
      headerWidth = record.fields.size();
      places = placesOf(record.fields);
      for (std::size_t column = 0; column < kPlanColumnCount; ++column) {
        if (!places[column]) {
          fileProblem(PlanProblemKind::kMissingColumn, texts::planMissingColumn(texts::kPlanColumnNames[column]));
        }
      }
      return plan.problems.empty();
    }
    if (plan.rows.size() == kPlanMaxRows) {
      fileProblem(PlanProblemKind::kTooManyRows, texts::planTooManyRows(kPlanMaxRows));
      return false;
    }
    plan.rows.push_back(RowReader(record, places).read(*headerWidth));
    return true;
  });
  if (!headerWidth || (plan.rows.empty() && plan.problems.empty())) {
    fileProblem(PlanProblemKind::kEmpty, texts::kPlanEmpty);
  }
  markDuplicates(plan.rows);
  return plan;
}

SitePlan readSitePlanFile(const std::string& path, const GbkDecoder& decode) {
  // One byte past the limit is enough to know the file is too large.
  const std::optional<std::string> bytes = readFileStart(path, kPlanMaxBytes + 1);
  if (!bytes) {
    SitePlan plan;
    plan.problems.push_back({PlanProblemKind::kCannotOpen, 0, texts::planCannotOpen(path)});
    return plan;
  }
  return readSitePlan(*bytes, decode);
}

}  // namespace pages
