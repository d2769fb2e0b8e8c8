#include "pages/batch_run.h"

#include <algorithm>
#include <optional>
#include <variant>

#include "pages/addresses.h"
#include "res/strings.h"

namespace pages {
namespace {

// The first few cameras, a line each with the address each was sent, and
// how many more there are.
std::string camerasNamed(std::span<const BatchItem> items, const GbkDecoder& decode) {
  std::string lines;
  for (std::size_t i = 0; i < std::min(items.size(), kCamerasNamed); ++i)
    lines += decode(items[i].mac) + "  " + dotted(items[i].newAddress) + "\r\n";
  if (items.size() > kCamerasNamed) lines += ui::strings::andMoreCameras(items.size() - kCamerasNamed);
  return lines;
}

}  // namespace

BatchRun::BatchRun(CameraPage& page, std::vector<std::string> macs, std::uint32_t start, std::uint32_t gateway)
    : page_(page), macs_(std::move(macs)), nextStart_(start), gateway_(gateway), pc_(page.readPcNetwork()) {}

BatchRun::~BatchRun() { page_.seams_.timer.cancel(task_); }

void BatchRun::observe(std::span<const discovery::DecodedRecord> records) {
  for (const auto& record : records)
    if (const auto* reply = std::get_if<discovery::SetIpRecord>(&record)) {
      const std::string mac(reply->mac.text());
      if (std::any_of(sent_.begin(), sent_.end(), [&](const BatchItem& item) { return item.mac == mac; }))
        answers_[mac] = discovery::toFieldsValue(reply->newAddress);
    }
}

void BatchRun::sendNext() {
  task_ = 0;
  if (sent_.size() == macs_.size()) return awaitAnswers();
  // Planned again for every camera still to go: a camera heard meanwhile at
  // a planned address keeps it.
  const std::span<const std::string> left = std::span(macs_).subspan(sent_.size());
  PcNetwork pc = pc_;
  for (const BatchItem& item : sent_) pc.addresses.insert(item.newAddress);
  const BatchPlan plan = page_.planBatch(left, nextStart_, gateway_, pc);
  if (plan.ranOut || plan.items.empty()) {
    if (plan.ranOut) page_.tell(ui::strings::batchRanOut(dotted(nextStart_), left.size()), Icon::Exclamation);
    return awaitAnswers();
  }
  const BatchItem& item = plan.items.front();
  page_.seams_.channel.sendSetIp(item.mac, item.newAddress, gateway_);
  sent_.push_back(item);
  nextStart_ = item.newAddress + 1;
  task_ = page_.seams_.timer.runAfter(kBatchSpacing, [this] { sendNext(); });
}

void BatchRun::awaitAnswers() {
  if (sent_.empty()) {
    finished_ = true;
    return;
  }
  task_ = page_.seams_.timer.runAfter(kBatchAnswerWait, [this] { closeWithNotice(); });
}

void BatchRun::closeWithNotice() {
  task_ = 0;
  std::vector<BatchItem> refused;
  std::vector<BatchItem> silent;
  for (const BatchItem& item : sent_) {
    const CameraRow* row = page_.rowOf(item.mac);
    if (row && listedAddressOf(row->ip) == item.newAddress) continue;
    const auto answer = answers_.find(item.mac);
    (answer == answers_.end() ? silent : refused).push_back(item);
  }
  const GbkDecoder& decode = page_.seams_.decode;
  const std::string refusedText = refused.empty() ? "" : ui::strings::batchRefused(camerasNamed(refused, decode));
  if (silent.empty()) {
    if (!refused.empty()) page_.tell(refusedText, Icon::Exclamation);
    finished_ = true;
    return;
  }
  const std::string question =
      (refused.empty() ? "" : refusedText + "\r\n\r\n") + ui::strings::batchUnanswered(camerasNamed(silent, decode));
  if (!page_.ask(question, Icon::Question)) {
    finished_ = true;
    return;
  }
  // The silent cameras again, each from the address it was planned.
  macs_.clear();
  for (const BatchItem& item : silent) macs_.push_back(item.mac);
  nextStart_ = silent.front().newAddress;
  sent_.clear();
  answers_.clear();
  pc_ = page_.readPcNetwork();
  sendNext();
}

}  // namespace pages
