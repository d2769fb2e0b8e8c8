// The real camera page, offscreen, on the private network: a flood of answers
// and junk while the user works, MAC texts that are not GBK, and the
// discovery port taken by another program.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QTreeView>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <unordered_map>
#include <vector>

#include "discovery/channel.h"
#include "support/datagrams.h"
#include "support/hostile_datagrams.h"
#include "support/wire_peer.h"
#include "ui/dialog_builder.h"
#include "ui/dlg_update_ip.h"
#include "ui/fake_presenter.h"
#include "ui/gbk.h"

namespace ui {
namespace {

using discovery::Bytes;
using testsupport::searchReply;
using testsupport::setIpReply;

constexpr int kWaitMs = 60000;
constexpr int kMacBox = 1001;
constexpr int kCameraList = 1009;

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kSanitized = true;  // the sanitizers' own memory swamps the figure
#else
constexpr bool kSanitized = false;
#endif

long residentBytes() {
  std::ifstream statm("/proc/self/statm");
  long size = 0, resident = 0;
  statm >> size >> resident;
  return resident * sysconf(_SC_PAGESIZE);
}

class CameraPageHostileTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(peer.ok());
    page.show();
    ASSERT_TRUE(page.channel().isOpen()) << page.channel().openError();
  }

  const CameraListModel& model() const { return page.cameraModel(); }
  QTreeView* list() const { return control<QTreeView>(&page, kCameraList); }
  QString macBox() const { return control<QLineEdit>(&page, kMacBox)->text(); }
  // Datagrams per paced batch: no more than the receive buffer holds for
  // certain, and few enough that the user gets to click often.
  std::size_t batchSize() const {
    return std::min<std::size_t>(testsupport::datagramsHeldBy(page.channel().receiveBufferBytes()), 2048);
  }
  // Answers are applied in arrival order: once the batch's last answer (a
  // MAC not heard before) is the last row, the whole batch has been applied.
  bool applied(std::size_t rows, const std::string& lastMac) const {
    return model().rowCount() == static_cast<int>(rows) && model().cameraAt(model().rowCount() - 1).mac == lastMac;
  }
  // A double-click as it comes from the window system: queued behind
  // whatever the page has still to do.
  void postDoubleClick(int row) {
    QWidget* viewport = list()->viewport();
    const QPointF at = list()->visualRect(model().index(row, 0)).center();
    const QPointF global = viewport->mapToGlobal(at);
    using T = QEvent::Type;
    for (const T type : {T::MouseButtonPress, T::MouseButtonRelease, T::MouseButtonDblClick, T::MouseButtonRelease}) {
      const Qt::MouseButtons held = type == T::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
      QCoreApplication::postEvent(viewport, new QMouseEvent(type, at, global, Qt::LeftButton, held, Qt::NoModifier));
    }
  }

  testsupport::FakePresenter messages;
  discovery::SystemNetwork network;
  CDlgUpdateIP page{messages, network, nullptr};
  testsupport::WirePeer peer;
};

// The list the page must end up with, by the list rules.
struct ExpectedList {
  std::vector<discovery::CameraRow> rows;
  std::unordered_map<std::string, std::size_t> rowOf;

  void deviceFound(const std::string& mac, const std::string& ip) {
    if (rowOf.emplace(mac, rows.size()).second) rows.push_back({mac, ip, "10.0.0.1"});
  }
  void ipChanged(const std::string& mac) {
    const auto found = rowOf.find(mac);
    if (found == rowOf.end()) return;
    rows[found->second].ip = "192.168.7.7";
    rows[found->second].gateway = "192.168.7.1";
  }
};

// One paced batch of the flood; its last answer is from a MAC not heard
// before, so that its row marks the batch as applied.
struct Batch {
  std::vector<Bytes> datagrams;
  std::size_t rowsAfter = 0;
  std::string lastMac;
};

// 100,000 answers from random MACs, some of them repeated, among set-IP
// replies for listed and unlisted MACs and one datagram of junk in five.
std::vector<Batch> floodPlan(std::size_t batchSize, ExpectedList& expected) {
  constexpr int kAnswers = 100000;
  testsupport::Random random(5414);
  std::vector<std::string> heard;
  std::vector<Batch> plan;
  for (int answers = 0; answers < kAnswers;) {
    Batch& batch = plan.emplace_back();
    while (batch.datagrams.size() + 1 < batchSize && answers < kAnswers) {
      const unsigned kind = random() % 100;
      if (kind < 20) {
        batch.datagrams.push_back(testsupport::junkDatagram(random));
      } else if (kind < 25 && !heard.empty()) {
        const std::string mac = random() % 2 ? heard[random() % heard.size()] : testsupport::randomMac(random);
        batch.datagrams.push_back(setIpReply(mac, {192, 168, 7, 7}, {192, 168, 7, 1}));
        expected.ipChanged(mac);
      } else {
        const std::string mac =
            kind < 35 && !heard.empty() ? heard[random() % heard.size()] : testsupport::randomMac(random);
        const std::string ip = "10.0." + std::to_string(plan.size() % 256) + "." + std::to_string(answers % 256);
        batch.datagrams.push_back(searchReply(mac, ip));
        expected.deviceFound(mac, ip);
        heard.push_back(mac);
        ++answers;
      }
    }
    batch.lastMac = "BATCH-" + std::to_string(plan.size());
    batch.datagrams.push_back(searchReply(batch.lastMac, "10.255.255.255"));
    expected.deviceFound(batch.lastMac, "10.255.255.255");
    batch.rowsAfter = expected.rows.size();
  }
  return plan;
}

TEST_F(CameraPageHostileTest, AFloodOfAnswersAndJunkWhileTheUserWorks) {
  ExpectedList expected;
  const std::vector<Batch> plan = floodPlan(batchSize(), expected);
  const auto macShown = [&](int row) { return fromGbk(expected.rows[static_cast<std::size_t>(row)].mac); };
  int picks = 0;
  const long residentBefore = residentBytes();

  std::size_t rowsBefore = 0;
  for (std::size_t number = 0; number < plan.size(); ++number) {
    SCOPED_TRACE("batch " + std::to_string(number));
    const Batch& batch = plan[number];
    for (const Bytes& datagram : batch.datagrams) peer.sendToGroup(datagram);
    // While the batch is being taken in, the user double-clicks a listed
    // camera whose MAC shows otherwise than the MAC box does now.
    int pick = -1;
    for (int row = 0; row < static_cast<int>(std::min<std::size_t>(rowsBefore, 10)) && pick < 0; ++row)
      if ((row + number) % 3 == 0 && !macShown(row).isEmpty() && macShown(row) != macBox()) pick = row;
    if (pick >= 0) postDoubleClick(pick);
    const QString boxAfter = pick >= 0 ? macShown(pick) : macBox();
    ASSERT_TRUE(QTest::qWaitFor([&] { return applied(batch.rowsAfter, batch.lastMac) && macBox() == boxAfter; },
                                kWaitMs))
        << model().rowCount() << " rows of " << batch.rowsAfter << "; MAC box \"" << macBox().toStdString()
        << "\", expected \"" << boxAfter.toStdString() << "\"";
    picks += pick >= 0;
    rowsBefore = batch.rowsAfter;
  }
  const long residentAfter = residentBytes();

  ASSERT_EQ(model().rowCount(), static_cast<int>(expected.rows.size()));
  for (std::size_t row = 0; row < expected.rows.size(); ++row) {
    const discovery::CameraRow& shown = model().cameraAt(static_cast<int>(row));
    ASSERT_TRUE(shown.mac == expected.rows[row].mac && shown.ip == expected.rows[row].ip &&
                shown.gateway == expected.rows[row].gateway)
        << "row " << row;
  }
  EXPECT_GE(picks, 10) << "the user hardly got to work";

  const double bytesPerRow = double(residentAfter - residentBefore) / double(expected.rows.size());
  std::printf("flood: %zu rows in %zu batches, %d picks; resident memory %+.0f bytes per row%s\n",
              expected.rows.size(), plan.size(), picks, bytesPerRow, kSanitized ? " (sanitized: not judged)" : "");
  if (!kSanitized) {
    EXPECT_LE(bytesPerRow, 1024.0);
  }
}

// Anyone can send empty datagrams: a stream of them beside a large burst of
// answers must not cost a single camera.
TEST_F(CameraPageHostileTest, EmptyDatagramsAmongABurstOfTwentyThousandAnswersLoseNoCamera) {
  constexpr int kCameras = 20000;
  constexpr int kAnswersPerEmpty = 500;  // 40 empty datagrams in all
  for (int i = 0; i < kCameras; ++i) {
    if (i % kAnswersPerEmpty == 0) peer.sendToGroup({});
    peer.sendToGroup(searchReply("CAM-" + std::to_string(i)));
  }
  EXPECT_TRUE(QTest::qWaitFor([&] { return model().rowCount() == kCameras; }, kWaitMs))
      << model().rowCount() << " of " << kCameras << " cameras listed";
}

TEST_F(CameraPageHostileTest, MacTextsThatAreNotGbkGetRowsOfTheirOwnAndAreShown) {
  const std::vector<std::string> macs = {"CAM", "CAM\x81", "\x81\x30", "\xFF\xFE\x80", std::string(20, '\xB0')};
  for (const std::string& mac : macs) peer.sendToGroup(searchReply(mac));
  peer.sendToGroup(searchReply("LAST"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return applied(macs.size() + 1, "LAST"); }, kWaitMs));
  for (std::size_t row = 0; row < macs.size(); ++row) {
    EXPECT_EQ(model().cameraAt(static_cast<int>(row)).mac, macs[row]);
    EXPECT_EQ(model().data(model().index(static_cast<int>(row), 0), Qt::DisplayRole).toString(), fromGbk(macs[row]));
  }
}

TEST(CameraPagePortTakenTest, WithThePortHeldElsewhereThePageShowsAndSendsNothing) {
  // Another program holds the discovery port, as the channel would.
  const int other = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  ASSERT_GE(other, 0);
  sockaddr_in local{};
  local.sin_family = AF_INET;
  local.sin_port = htons(discovery::DISCOVERY_PORT);
  ASSERT_EQ(::bind(other, reinterpret_cast<sockaddr*>(&local), sizeof local), 0);

  testsupport::WirePeer peer;
  ASSERT_TRUE(peer.ok());
  {
    testsupport::FakePresenter messages;
    discovery::SystemNetwork network;
    CDlgUpdateIP page{messages, network, nullptr};
    page.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&page));
    EXPECT_FALSE(page.channel().isOpen());
    EXPECT_NE(page.channel().openError().find("bind"), std::string::npos) << page.channel().openError();
    QTest::mouseClick(control<QPushButton>(&page, 1018), Qt::LeftButton);  // search
    QTest::mouseClick(control<QPushButton>(&page, 1019), Qt::LeftButton);  // apply, nothing picked
    EXPECT_TRUE(peer.sentByOthers().empty());
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(page.cameraModel().rowCount(), 0);
  }
  ::close(other);
}

}  // namespace
}  // namespace ui
