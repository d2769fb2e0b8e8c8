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

BatchRun::BatchRun(CameraPage& page, Consecutive batch)
    : page_(page), consecutive_(std::move(batch)), pc_(page.readPcNetwork()) {}

BatchRun::BatchRun(CameraPage& page, std::vector<BatchItem> planned)
    : page_(page), planned_(std::move(planned)), pc_(page.readPcNetwork()) {}

BatchRun::~BatchRun() { page_.seams_.timer.cancel(task_); }

void BatchRun::observe(std::span<const discovery::DecodedRecord> records) {
  for (const auto& record : records)
    if (const auto* reply = std::get_if<discovery::SetIpRecord>(&record)) {
      const std::string mac(reply->mac.text());
      if (std::any_of(sent_.begin(), sent_.end(), [&](const BatchItem& item) { return item.mac == mac; }))
        answers_[mac] = discovery::toFieldsValue(reply->newAddress);
    }
}

std::optional<BatchItem> BatchRun::next() {
  if (!planned_.empty()) return planned_[sent_.size()];
  // Planned again for every camera still to go: a camera heard meanwhile at
  // a planned address keeps it.
  const std::span<const std::string> left = std::span(consecutive_.macs).subspan(sent_.size());
  PcNetwork pc = pc_;
  for (const BatchItem& item : sent_) pc.addresses.insert(item.newAddress);
  const BatchPlan plan = page_.planBatch(left, consecutive_.start, consecutive_.gateway, pc, consecutive_.taken);
  if (plan.ranOut) page_.tell(ui::strings::batchRanOut(dotted(consecutive_.start), left.size()), Icon::Exclamation);
  if (plan.ranOut || plan.items.empty()) return std::nullopt;
  consecutive_.start = plan.items.front().newAddress + 1;
  return plan.items.front();
}

void BatchRun::sendNext() {
  task_ = 0;
  if (sent_.size() == toSend()) return awaitAnswers();
  const std::optional<BatchItem> item = next();
  if (!item) return awaitAnswers();
  page_.seams_.channel.sendSetIp(item->mac, item->newAddress, item->newGateway);
  sent_.push_back(*item);
  task_ = page_.seams_.timer.runAfter(kBatchSpacing, [this] { sendNext(); });
}

void BatchRun::awaitAnswers() {
  if (sent_.empty()) {
    finished_ = true;
    return;
  }
  task_ = page_.seams_.timer.runAfter(kBatchAnswerWait, [this] { confirmOnTheLink(); });
}

// Each camera whose row shows its new address is looked for there, where
// the link can tell.
void BatchRun::confirmOnTheLink() {
  task_ = 0;
  moved_.clear();
  onTheLink_.clear();
  std::vector<std::uint32_t> ask;
  const PcNetwork pc = page_.readPcNetwork();
  for (const BatchItem& item : sent_) {
    const CameraRow* row = page_.rowOf(item.mac);
    if (!row || listedAddressOf(row->ip) != item.newAddress) continue;
    moved_.push_back(item);
    if (const auto known = answerWithoutTheLink(pc.adapters, item.newAddress))
      onTheLink_[item.newAddress] = *known;
    else
      ask.push_back(item.newAddress);
  }
  if (ask.empty()) return closeWithNotice();
  check_ = page_.seams_.checker.check(ask, [this, left = ask.size()](const AddressAnswer& answer) mutable {
    onTheLink_[discovery::toFieldsValue(answer.address)] = answer;
    if (--left == 0) closeWithNotice();
  });
}

void BatchRun::closeWithNotice() {
  const auto done = std::move(check_);
  std::vector<BatchItem> reached;
  std::vector<BatchItem> notReached;
  for (const BatchItem& item : moved_) {
    const AddressAnswer& answer = onTheLink_[item.newAddress];
    // A camera whose MAC text is a link-layer address must be the host that
    // answered (a text compares equal to itself only when it is one).
    const bool macIsLinkAddress = discovery::sameLinkAddress(item.mac, item.mac);
    const bool macMatches = !macIsLinkAddress || discovery::sameLinkAddress(item.mac, answer.linkAddress);
    (answer.use == AddressUse::InUse && !answer.ownAddress && macMatches ? reached : notReached).push_back(item);
  }
  std::vector<BatchItem> refused;
  std::vector<BatchItem> silent;
  for (const BatchItem& item : sent_) {
    if (std::any_of(moved_.begin(), moved_.end(), [&](const BatchItem& moved) { return moved.mac == item.mac; }))
      continue;
    (answers_.contains(item.mac) ? refused : silent).push_back(item);
  }

  const GbkDecoder& decode = page_.seams_.decode;
  std::vector<std::string> parts;
  if (!reached.empty()) parts.push_back(ui::strings::batchReached(reached.size()));
  if (!notReached.empty()) parts.push_back(ui::strings::batchNotReached(camerasNamed(notReached, decode)));
  if (!refused.empty()) parts.push_back(ui::strings::batchRefused(camerasNamed(refused, decode)));
  if (!silent.empty()) parts.push_back(ui::strings::batchUnanswered(camerasNamed(silent, decode)));
  std::string text;
  for (const std::string& part : parts) text += (text.empty() ? "" : "\r\n\r\n") + part;
  if (silent.empty()) {
    page_.tell(text, refused.empty() && notReached.empty() ? Icon::Information : Icon::Exclamation);
    finished_ = true;
    return;
  }
  if (!page_.ask(text, Icon::Question)) {
    finished_ = true;
    return;
  }
  // The silent cameras again, each to the address it was sent.
  planned_ = silent;
  consecutive_ = {};
  sent_.clear();
  answers_.clear();
  pc_ = page_.readPcNetwork();
  sendNext();
}

}  // namespace pages
