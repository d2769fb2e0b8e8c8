// The camera page over fakes of every seam, as the page tests start from:
// the PC at 192.168.1.10/24 behind 192.168.1.1, the wire's texts shown as
// they are, the page open.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "pages/camera_page.h"
#include "support/datagrams.h"
#include "tests/pages/page_fakes.h"

namespace testsupport {

// Tells how many rows the page has shown.
struct RecordingView : pages::CameraPageView {
  void rowsChanged(const pages::ShownCameraList::Changes& changes) override { shown = changes.shown; }
  std::size_t shown = 0;
};

class FakedPageTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(page.open()); }

  void arrive(std::vector<discovery::DecodedRecord> records) { deliver(page, channel, timer, std::move(records)); }
  // Cameras listed with these MACs and addresses, in order.
  void list(const std::vector<std::pair<std::string, std::string>>& cameras) {
    std::vector<discovery::DecodedRecord> records;
    for (const auto& [mac, ip] : cameras) records.push_back(deviceRecord(mac, ip));
    arrive(std::move(records));
  }

  FakeChannel channel;
  FakePrompter prompter;
  FakeTimer timer;
  FakeChecker checker;
  FakeNetwork network{{adapterAt({192, 168, 1, 10}, 24, "192.168.1.1")}};
  RecordingView view;
  pages::CameraPage page{{channel, prompter, timer, checker, network, [](std::string_view gbk) { return std::string(gbk); }},
                         view};
};

}  // namespace testsupport
