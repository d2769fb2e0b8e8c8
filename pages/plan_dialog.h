// What the site plan's dialog does, whatever draws it: the plan's file is
// chosen and read, then every plan row is previewed (the listed camera's
// address now, or that it is not listed; the planned address and gateway;
// what the link says of the planned address; every problem of the row), the
// planned addresses of the listed cameras all checked on the link at once.
// At OK, once every check has answered and nothing keeps the plan from
// being sent, one confirmation, and the batch sends the listed cameras their
// planned addresses. No address is given twice: one that a camera or another
// host holds stops the plan, unless the camera holding it is moved elsewhere
// by the same plan.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "pages/address_checker.h"
#include "pages/camera_page.h"
#include "pages/pc_network.h"
#include "pages/prompter.h"
#include "pages/site_plan.h"

namespace pages {

// The preview's columns (res/strings.h names them).
enum PlanPreviewColumn : std::size_t {
  kPlanMacColumn,
  kPlanCurrentColumn,
  kPlanNewColumn,
  kPlanGatewayColumn,
  kPlanCheckColumn,
  kPlanProblemsColumn,
};

// The plan file the user chooses, read. Nothing when a batch still runs or
// the user cancelled, or when the file gave no row to preview: the user is
// told why.
std::optional<SitePlan> chooseSitePlan(CameraPage& page, Prompter& prompter);

// Told when the preview's rows or their states change.
class PlanDialogView {
 public:
  virtual ~PlanDialogView() = default;
  virtual void previewChanged() = 0;
};

class PlanDialog {
 public:
  // The PC's network is read now, once; the preview is made from the list
  // as it stands.
  PlanDialog(CameraPage& page, SitePlan plan, PlanDialogView* view = nullptr);

  // The preview again from the list as it stands now; the planned addresses
  // of cameras listed since are asked of the link.
  void refresh();

  // One preview row per plan row, in the file's order.
  std::size_t rowCount() const { return plan_.rows.size(); }
  // A preview row's cell, UTF-8.
  std::string cell(std::size_t row, std::size_t column) const;
  // Under the preview: what OK will do, or why it cannot be pressed.
  std::string summary() const;
  // OK may go on: nothing keeps the plan from being sent, at least one of
  // its cameras is listed, and the link has answered for each of them.
  bool sendable() const;

  // OK: true when the user confirmed and the batch has started, so that the
  // dialog closes. Planned again from the list as it stands first: a camera
  // listed since must be checked before OK goes on.
  bool accept(Prompter& prompter);

 private:
  // A plan row as the list and the link see it.
  struct RowState {
    std::optional<std::size_t> shown;  // the listed camera's row
    std::vector<std::string> problems;  // the plan's own, then those the preview found
    bool blocked = false;               // a problem the preview found keeps the plan from being sent
  };

  void askTheLink();
  void answered(const AddressAnswer& answer);
  // Each listed row's problems with the list and the link.
  void judge();
  void judgeRow(std::size_t row, const std::map<std::uint32_t, std::vector<std::size_t>>& holders);
  // The listed plan row that moves the camera of this shown row, if any.
  std::optional<std::size_t> planRowOfShown(std::size_t shown) const;
  bool listed(std::size_t row) const { return states_[row].shown.has_value(); }
  bool checked(std::size_t row) const;
  std::size_t listedCount() const;
  std::string checkState(std::size_t row) const;

  CameraPage& page_;
  SitePlan plan_;
  PlanDialogView* view_;
  PcNetwork pc_;
  std::vector<RowState> states_;
  std::map<std::size_t, std::size_t> planRowOfShown_;  // shown row → the listed plan row for it
  std::map<std::uint32_t, AddressAnswer> answers_;
  std::set<std::uint32_t> asked_;
  std::vector<std::unique_ptr<RunningCheck>> checks_;
};

}  // namespace pages
