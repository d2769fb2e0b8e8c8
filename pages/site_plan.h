// A site plan: the spreadsheet installers are given, mapping each camera's
// MAC to the address and gateway it is to have, saved as CSV. Read here into
// rows and the problems a preview names before anything is sent. The list's
// own export, with its addresses edited, is a valid plan.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "pages/text_encoding.h"

namespace pages {

enum class PlanProblemKind {
  // The whole file.
  kCannotOpen,
  kNotText,
  kEmpty,
  kTooLarge,
  kTooManyRows,  // the rows past the limit are not read
  kMissingColumn,
  // One row that cannot be read.
  kFieldCount,
  kUnclosedQuote,
  kEmptyMac,
  kBadAddress,  // the IP or the gateway does not read as an address
  // One row that reads, but must not be sent as it is.
  kNotHostAddress,
  kDuplicateMac,
  kDuplicateAddress,
  // A note only: the subnet's mask is not known, so the gateway may be right.
  kGatewayElsewhere,
};

// Whether a problem of this kind keeps the plan from being sent.
bool blocksSending(PlanProblemKind kind);

struct PlanProblem {
  PlanProblemKind kind;
  std::size_t line = 0;  // the file's line, the header being 1; 0 for the whole file
  std::string text;      // what the preview shows (res/strings.h)
};

struct SitePlanRow {
  std::size_t line = 0;
  std::string mac;            // UTF-8, as the list shows a camera's MAC
  std::uint32_t address = 0;  // the address control's value, first field most significant
  std::uint32_t gateway = 0;  // 0 where the row could not be read
  std::vector<PlanProblem> problems;
};

struct SitePlan {
  std::vector<SitePlanRow> rows;  // every data line, in file order, readable or not
  std::vector<PlanProblem> problems;  // those of the whole file

  bool sendable() const;
};

// Limits that keep a file picked by mistake from exhausting the memory; a
// site has at most a few thousand cameras.
inline constexpr std::size_t kPlanMaxBytes = 10 * 1024 * 1024;
inline constexpr std::size_t kPlanMaxRows = 100'000;

// `bytes`: the file's contents, UTF-8 with or without a byte-order mark or,
// when they are not UTF-8, GBK (read through `decode`).
SitePlan readSitePlan(std::string_view bytes, const GbkDecoder& decode);
// Reads the file at `path` (UTF-8), at most kPlanMaxBytes of it.
SitePlan readSitePlanFile(const std::string& path, const GbkDecoder& decode);

}  // namespace pages
