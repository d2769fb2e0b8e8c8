// The camera page's rules and flows with stand-ins for its seams: the list,
// the pick, Apply with its refusals and warnings, copy and export, and the
// batch with its plan, pacing, answer wait and closing notice.
#include "pages/camera_page.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "pages/batch_dialog.h"
#include "pages/addresses.h"
#include "pages/batch_run.h"
#include "res/strings.h"
#include "support/datagrams.h"
#include "tests/pages/faked_page_test.h"
#include "tests/pages/page_fakes.h"

namespace pages {
namespace {

using testing::ElementsAre;
using testing::HasSubstr;
using testsupport::deviceRecord;
using testsupport::setIpRecord;

constexpr std::uint32_t address(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d) {
  return a << 24 | b << 16 | c << 8 | d;
}

class CameraPageTest : public testsupport::FakedPageTest {
 protected:
  void pickRow(std::size_t row) {
    const std::size_t rows[] = {row};
    ASSERT_TRUE(page.pick(rows));
  }
  void applyWith(std::uint32_t newAddress, std::uint32_t newGateway) {
    page.apply([=] { return NewAddresses{newAddress, newGateway}; });
  }
  // The batch dialog on these rows, accepted with these values.
  // The link finds every planned address free.
  bool runBatch(std::vector<std::size_t> rows, std::uint32_t start, std::uint32_t gateway) {
    BatchDialog dialog(page, rows);
    dialog.replan(start, gateway);
    checker.answerAll(AddressUse::Free);
    return dialog.accept(start, gateway, prompter);
  }
  std::vector<std::uint32_t> sentAddresses() const {
    std::vector<std::uint32_t> sent;
    for (const auto& request : channel.setIps) sent.push_back(request.address);
    return sent;
  }

};

TEST_F(CameraPageTest, ProposesFromThePcsGatewayListsEachMacOnceAndPicksTheFirstSelectedRow) {
  EXPECT_EQ(page.proposedAddress(), "192.168.1.241");
  EXPECT_EQ(page.proposedGateway(), "192.168.1.1");
  page.search();
  EXPECT_EQ(channel.searches, 1);

  arrive({deviceRecord("CAM-A", "10.0.0.5"), deviceRecord("CAM-A", "10.9.9.9"), deviceRecord("CAM-B", "10.0.0.6"),
          setIpRecord("CAM-B", {192, 168, 1, 7}, {192, 168, 1, 1}), setIpRecord("GONE", {1, 1, 1, 1}, {1, 1, 1, 1})});
  EXPECT_EQ(view.shown, 2u);
  EXPECT_EQ(page.cell(0, kIpColumn), "10.0.0.5") << "a camera keeps the texts it was listed with";
  EXPECT_EQ(page.cell(1, kIpColumn), "192.168.1.7");
  EXPECT_EQ(page.cell(2, kMacColumn), "") << "no row past the list";

  const std::vector<std::size_t> secondAndFirst{1, 0};
  ASSERT_TRUE(page.pick(secondAndFirst));
  EXPECT_EQ(page.picked().mac, "CAM-A");
  const std::vector<std::size_t> pastTheList{5};
  EXPECT_FALSE(page.pick(pastTheList));
  EXPECT_EQ(page.picked().mac, "CAM-A") << "the pick stays";
}

TEST_F(CameraPageTest, TypingFindsTheFirstRowFromTheCurrentOneWhoseMacBeginsWithIt) {
  list({{"aa:01", "10.0.0.5"}, {"BB:01", "10.0.0.6"}, {"AA:02", "10.0.0.7"}, {"摄像机", "10.0.0.8"}});
  EXPECT_EQ(page.rowStartingWith("a", 0), 0u);
  EXPECT_EQ(page.rowStartingWith("AA:0", 1), 2u);
  EXPECT_EQ(page.rowStartingWith("aa:01", 1), 0u) << "wrapping round";
  EXPECT_EQ(page.rowStartingWith("摄", 0), 3u);
  EXPECT_EQ(page.rowStartingWith("cc", 0), std::nullopt);
  EXPECT_EQ(page.rowStartingWith("aa:01:ff", 0), std::nullopt) << "longer than any MAC";
}

TEST_F(CameraPageTest, OpenWebPageOpensTheFirstSelectedCamerasListedAddress) {
  list({{"CAM-A", " 10.0.0.5/24"}, {"CAM-B", "10.0.0.6"}, {"CAM-C", "no address"}});
  const std::vector<std::size_t> bAndA{1, 0};
  page.openWebPage(bAndA);
  const std::vector<std::size_t> c{2};
  page.openWebPage(c);
  page.openWebPage({});
  EXPECT_THAT(prompter.opened, ElementsAre("http://10.0.0.5/"));
}

TEST(CameraPageWithoutGatewayTest, ProposesNothing) {
  testsupport::FakeChannel channel;
  testsupport::FakePrompter prompter;
  testsupport::FakeTimer timer;
  testsupport::FakeChecker checker;
  testsupport::FakeNetwork network{{testsupport::adapterAt({10, 1, 1, 10}, 24, "")}};
  testsupport::RecordingView view;
  CameraPage page{{channel, prompter, timer, checker, network, [](std::string_view gbk) { return std::string(gbk); }},
                  view};
  page.open();
  EXPECT_EQ(page.proposedAddress(), "");
  EXPECT_EQ(page.proposedGateway(), "");
}

TEST_F(CameraPageTest, ApplyIsSilentWithoutAPickOrWithABlankValueThenConfirmsAndSendsTheValuesReadAtOk) {
  applyWith(address(192, 168, 1, 241), address(192, 168, 1, 1));
  list({{"CAM-A", "10.0.0.5"}});
  pickRow(0);
  applyWith(0, address(192, 168, 1, 1));
  applyWith(address(192, 168, 1, 241), 0);
  EXPECT_TRUE(prompter.shown.empty());
  EXPECT_TRUE(channel.setIps.empty());

  prompter.answer = false;
  applyWith(address(192, 168, 1, 241), address(192, 168, 1, 1));
  checker.answerAll(AddressUse::Free);
  ASSERT_EQ(prompter.shown.size(), 1u);
  EXPECT_EQ(prompter.shown[0].prompt.text, "确定IP，网关都填写对了？\r\n修改IP吗？");
  EXPECT_EQ(prompter.shown[0].prompt.caption, "提示");
  EXPECT_EQ(prompter.shown[0].prompt.icon, Icon::Question);
  EXPECT_TRUE(channel.setIps.empty()) << "Cancel sends nothing";

  prompter.answer = true;
  int reads = 0;
  page.apply([&] { return NewAddresses{address(192, 168, 1, 241 + reads++), address(192, 168, 1, 1)}; });
  checker.answerAll(AddressUse::Free);
  ASSERT_EQ(channel.setIps.size(), 1u);
  EXPECT_EQ(channel.setIps[0].mac, "CAM-A");
  EXPECT_EQ(channel.setIps[0].address, address(192, 168, 1, 242)) << "the values in force at OK";
  EXPECT_EQ(channel.setIps[0].gateway, address(192, 168, 1, 1));
}

TEST_F(CameraPageTest, NoAddressThatNoHostCanHaveIsSentByApplyOrByTheBatch) {
  list({{"CAM-A", "10.0.0.5"}, {"CAM-B", "10.0.0.6"}});
  pickRow(0);
  const std::uint32_t notHosts[] = {address(0, 0, 0, 1),     address(127, 0, 0, 2),       address(224, 0, 0, 1),
                                    address(239, 255, 255, 250), address(240, 0, 0, 1), address(255, 255, 255, 1),
                                    address(255, 255, 255, 255)};
  for (const std::uint32_t bad : notHosts) {
    SCOPED_TRACE(dotted(bad));
    prompter.shown.clear();
    applyWith(bad, address(192, 168, 1, 1));
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_FALSE(prompter.shown[0].question);
    EXPECT_THAT(prompter.shown[0].prompt.text, HasSubstr(dotted(bad)));
    applyWith(address(192, 168, 1, 50), bad);
    EXPECT_FALSE(runBatch({0, 1}, bad, address(192, 168, 1, 1)));
    EXPECT_FALSE(runBatch({0, 1}, address(192, 168, 1, 50), bad));
  }
  // A gateway that is its /24's network or broadcast address, and the PC's
  // own subnet's ends in a batch.
  EXPECT_FALSE(runBatch({0, 1}, address(192, 168, 1, 50), address(192, 168, 1, 255)));
  EXPECT_FALSE(runBatch({0, 1}, address(192, 168, 1, 50), address(192, 168, 1, 0)));
  EXPECT_TRUE(channel.setIps.empty());
}

TEST_F(CameraPageTest, ApplyWarnsOfAnAddressTakenByAnotherCameraThePcOrAGatewayComparingAddressesNotTexts) {
  list({{"CAM-A", "10.0.0.5"}, {"CAM-B", "10.0.0.6 "}, {"CAM-C", " 10.0.0.7"}, {"CAM-D", "10.0.0.8/24"},
        {"CAM-E", "10.0.0.9:80"}});
  pickRow(0);
  prompter.answer = false;
  const std::pair<std::uint32_t, std::string> taken[] = {
      {address(10, 0, 0, 6), "IP 10.0.0.6 已被列表中的摄像机 CAM-B 使用！\r\n仍然继续吗？"},
      {address(10, 0, 0, 7), "IP 10.0.0.7 已被列表中的摄像机 CAM-C 使用！\r\n仍然继续吗？"},
      {address(10, 0, 0, 8), "IP 10.0.0.8 已被列表中的摄像机 CAM-D 使用！\r\n仍然继续吗？"},
      {address(10, 0, 0, 9), "IP 10.0.0.9 已被列表中的摄像机 CAM-E 使用！\r\n仍然继续吗？"},
      {address(192, 168, 1, 10), "IP 192.168.1.10 是本机的地址！\r\n仍然继续吗？"},
      {address(192, 168, 1, 1), "IP 192.168.1.1 是网关的地址！\r\n仍然继续吗？"},
  };
  for (const auto& [newAddress, warning] : taken) {
    prompter.shown.clear();
    applyWith(newAddress, address(192, 168, 1, 1));
    ASSERT_EQ(prompter.shown.size(), 1u) << warning;
    EXPECT_EQ(prompter.shown[0].prompt.text, warning);
    EXPECT_EQ(prompter.shown[0].prompt.icon, Icon::Exclamation);
  }
  prompter.shown.clear();
  applyWith(address(10, 0, 0, 77), address(10, 0, 0, 77));
  EXPECT_THAT(prompter.texts(), ElementsAre("IP 10.0.0.77 是网关的地址！\r\n仍然继续吗？")) << "the camera's own gateway";
  EXPECT_TRUE(channel.setIps.empty()) << "Cancel on a warning sends nothing";

  prompter.shown.clear();
  prompter.answer = true;
  applyWith(address(10, 0, 0, 5), address(10, 0, 0, 1));
  EXPECT_THAT(prompter.texts(), ElementsAre("确定IP，网关都填写对了？\r\n修改IP吗？")) << "its own address is no conflict";
  applyWith(address(10, 0, 0, 6), address(10, 0, 0, 1));
  EXPECT_EQ(channel.setIps.size(), 2u) << "OK on the warning goes on to the confirmation";
}

TEST_F(CameraPageTest, ApplyChecksAnAddressOfThePcsSubnetOnTheLinkBeforeItsConfirmation) {
  list({{"00:11:22:33:44:55", "10.0.0.5"}, {"00:11:22:33:44:66", "10.0.0.6"}});
  pickRow(0);
  const auto applyTo = [&](std::uint32_t newAddress) { applyWith(newAddress, address(192, 168, 1, 1)); };

  applyTo(address(192, 168, 1, 50));
  EXPECT_THAT(checker.asked, ElementsAre(address(192, 168, 1, 50)));
  EXPECT_TRUE(page.checkingAddress());
  EXPECT_TRUE(prompter.shown.empty()) << "nothing is asked until the link has answered";
  applyTo(address(192, 168, 1, 51));
  EXPECT_EQ(checker.asked.size(), 1u) << "one check at a time";
  prompter.answer = false;
  checker.answer(address(192, 168, 1, 50), AddressUse::InUse, "02:54:56:00:00:01");
  EXPECT_FALSE(page.checkingAddress());
  EXPECT_THAT(prompter.texts(), ElementsAre("IP 192.168.1.50 已被网络上的设备（MAC 02:54:56:00:00:01）使用！\r\n仍然继续吗？"));
  EXPECT_TRUE(channel.setIps.empty()) << "Cancel sends nothing";

  prompter.shown.clear();
  applyTo(address(192, 168, 1, 51));
  checker.answer(address(192, 168, 1, 51), AddressUse::InUse, "00-11-22-33-44-66");
  EXPECT_THAT(prompter.texts(),
              ElementsAre("IP 192.168.1.51 已被列表中的摄像机 00:11:22:33:44:66（MAC 00-11-22-33-44-66）使用！\r\n仍然继续吗？"));

  // Free, the picked camera's own answer, or no check possible: the
  // confirmation as ever.
  prompter.answer = true;
  for (const auto& [newAddress, use, mac] :
       {std::tuple{address(192, 168, 1, 52), AddressUse::Free, ""},
        std::tuple{address(192, 168, 1, 53), AddressUse::InUse, "00:11:22:33:44:55"},
        std::tuple{address(192, 168, 1, 54), AddressUse::CannotVerify, ""}}) {
    prompter.shown.clear();
    applyTo(newAddress);
    checker.answer(newAddress, use, mac);
    EXPECT_THAT(prompter.texts(), ElementsAre(ui::strings::kConfirmChange)) << dotted(newAddress);
  }
  prompter.shown.clear();
  const std::size_t checks = checker.asked.size();
  applyTo(address(172, 16, 9, 9));
  EXPECT_EQ(checker.asked.size(), checks) << "outside the PC's subnets the link is not asked";
  EXPECT_THAT(prompter.texts(), ElementsAre(ui::strings::kConfirmChange));
  EXPECT_EQ(channel.setIps.size(), 4u);
}

TEST_F(CameraPageTest, ClosingThePageEndsAnAddressCheck) {
  list({{"CAM-A", "10.0.0.5"}});
  pickRow(0);
  applyWith(address(192, 168, 1, 50), address(192, 168, 1, 1));
  ASSERT_EQ(checker.running.size(), 1u);
  page.close();
  EXPECT_TRUE(checker.running.empty());
}

TEST_F(CameraPageTest, CopyAndExportGuardEveryCellASpreadsheetWouldRun) {
  const std::vector<std::string> planted = {"=1+1", "+SUM(1)", "-2+3", "@SUM(1)", "=HYPERLINK(\"x\")", " =1+1",
                                            "\xEF\xBC\x9D" "1+1", "|calc", "\t=1", "\xE3\x80\x80@A1"};
  std::vector<std::pair<std::string, std::string>> cameras;
  for (const std::string& mac : planted) cameras.emplace_back(mac, "10.0.0.5");
  cameras.emplace_back("CAM,\"1\"", "10.0.0.6");
  list(cameras);
  std::vector<std::size_t> every(cameras.size());
  for (std::size_t row = 0; row < every.size(); ++row) every[row] = every.size() - 1 - row;  // any order
  page.copy(every);
  const std::string folder = testing::TempDir() + "export-" + std::to_string(::getpid());
  std::filesystem::create_directories(folder);
  prompter.fileToSave = folder + "/cameras.csv";
  page.exportList();
  std::string csv;
  {
    std::ifstream file(*prompter.fileToSave, std::ios::binary);
    csv.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  }

  std::vector<std::string> copiedLines;
  std::vector<std::string> csvLines;
  for (auto [text, lines] : {std::pair{prompter.clipboard, &copiedLines}, std::pair{csv.substr(3), &csvLines}})
    for (std::size_t at = 0, end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2)
      lines->push_back(text.substr(at, end - at));
  ASSERT_EQ(copiedLines.size(), planted.size() + 2);
  ASSERT_EQ(csvLines.size(), planted.size() + 2);
  EXPECT_EQ(copiedLines[0], "摄像机MAC\tIP地址\t网关)");
  EXPECT_EQ(csv.substr(0, 3), "\xEF\xBB\xBF");
  for (std::size_t i = 0; i < planted.size(); ++i) {
    SCOPED_TRACE(planted[i]);
    EXPECT_EQ(copiedLines[i + 1].front(), '\'') << "copied in list order, guarded";
    EXPECT_TRUE(csvLines[i + 1].starts_with("'") || csvLines[i + 1].starts_with("\"'")) << csvLines[i + 1];
  }
  EXPECT_EQ(copiedLines[2], "'+SUM(1)\t10.0.0.5\t10.0.0.1");
  EXPECT_EQ(copiedLines[9], "' =1\t10.0.0.5\t10.0.0.1") << "a tab inside a copied cell becomes a space";
  EXPECT_EQ(csvLines.back(), "\"CAM,\"\"1\"\"\",10.0.0.6,10.0.0.1");
  EXPECT_EQ(prompter.fileChoice->suggestedName, "摄像机列表.csv");
  EXPECT_TRUE(prompter.shown.empty());
  std::filesystem::remove_all(folder);
}

TEST_F(CameraPageTest, AnExportThatCannotBeWrittenSaysSo) {
  list({{"CAM-A", "10.0.0.5"}});
  prompter.fileToSave = testing::TempDir() + "no-such-folder-" + std::to_string(::getpid()) + "/cameras.csv";
  page.exportList();
  EXPECT_THAT(prompter.texts(), ElementsAre("无法写入文件 " + *prompter.fileToSave + " ！"));
  prompter.shown.clear();
  prompter.fileToSave.reset();  // cancelled
  page.exportList();
  EXPECT_TRUE(prompter.shown.empty());
}

// The batch.

class BatchTest : public CameraPageTest {
 protected:
  void answer(const std::string& mac, std::uint32_t newAddress) {
    arrive({setIpRecord(mac, discovery::toIpv4Bytes(newAddress), {192, 168, 1, 1})});
  }
  // Every request sent and the answer wait over, each camera that moved
  // found at its new address; sending again is declined unless the test said
  // otherwise.
  void sendAllAndWait() {
    if (prompter.answers.empty()) prompter.answers.push_back(false);
    for (int round = 0; round < 10; ++round) {
      timer.advance(std::chrono::minutes(1));
      if (checker.running.empty()) return;
      checker.answerAll(AddressUse::InUse);
    }
  }
};

TEST_F(BatchTest, EachCameraGetsTheNextAddressNoOtherListedCameraThePcOrTheGatewayHasAndMayKeepItsOwn) {
  // CAM-A sits at .102 and is selected too; CAM-X, not selected, at .104;
  // the PC is .10 and the gateway .1.
  list({{"CAM-A", "192.168.1.102"}, {"CAM-B", "172.16.5.20"}, {"CAM-X", "192.168.1.104"}, {"CAM-C", "10.0.0.5"},
        {"CAM-D", "10.0.0.6"}});
  BatchDialog dialog(page, std::vector<std::size_t>{3, 0, 1, 4});
  dialog.replan(address(192, 168, 1, 101), address(192, 168, 1, 103));
  ASSERT_EQ(dialog.plan().items.size(), 4u);
  EXPECT_EQ(dialog.cell(0, 0), "CAM-A");
  EXPECT_EQ(dialog.cell(0, 2), "192.168.1.101");
  EXPECT_EQ(dialog.cell(1, 2), "192.168.1.105") << "past CAM-A's .102, the gateway .103 and CAM-X's .104";
  EXPECT_EQ(dialog.cell(2, 2), "192.168.1.106");
  dialog.replan(address(192, 168, 1, 102), address(192, 168, 1, 1));
  EXPECT_EQ(dialog.cell(0, 2), "192.168.1.102") << "CAM-A keeps its own";
  EXPECT_EQ(dialog.cell(1, 2), "192.168.1.103");

  checker.answerAll(AddressUse::Free);
  EXPECT_TRUE(dialog.accept(address(192, 168, 1, 102), address(192, 168, 1, 1), prompter));
  EXPECT_THAT(prompter.texts(), ElementsAre("将修改 4 台摄像机的IP：\r\n192.168.1.102 至 192.168.1.106\r\n确定修改吗？"));
  sendAllAndWait();
  EXPECT_THAT(sentAddresses(), ElementsAre(address(192, 168, 1, 102), address(192, 168, 1, 103),
                                           address(192, 168, 1, 105), address(192, 168, 1, 106)));
}

TEST_F(BatchTest, TwentyCamerasAtOneFactoryAddressInsideTheRangeNeverGetIt) {
  std::vector<std::pair<std::string, std::string>> cameras;
  std::vector<std::size_t> rows;
  for (int i = 0; i < 20; ++i) {
    cameras.emplace_back("CAM-" + std::to_string(i), "192.168.1.64");
    rows.push_back(static_cast<std::size_t>(i));
  }
  list(cameras);
  ASSERT_TRUE(runBatch(rows, address(192, 168, 1, 60), address(192, 168, 1, 1)));
  sendAllAndWait();
  ASSERT_EQ(channel.setIps.size(), 20u);
  for (const std::uint32_t sent : sentAddresses()) EXPECT_NE(sent, address(192, 168, 1, 64));
}

TEST_F(BatchTest, ACameraHeardAtAPlannedAddressAfterThePreviewOrBetweenSendsIsPassedOver) {
  list({{"CAM-A", "10.0.0.5"}, {"CAM-B", "10.0.0.6"}, {"CAM-C", "10.0.0.7"}});
  BatchDialog dialog(page, std::vector<std::size_t>{0, 1, 2});
  dialog.replan(address(192, 168, 1, 100), address(192, 168, 1, 1));
  ASSERT_EQ(dialog.cell(1, 2), "192.168.1.101");
  list({{"LATE-CAM", "192.168.1.101"}});  // while the dialog is open
  // Another while the confirmation is open, and one while the requests go out.
  prompter.whileShown = [&](const Prompt&) { list({{"WHILE-ASKED", "192.168.1.102"}}); };
  checker.answerAll(AddressUse::Free);
  EXPECT_FALSE(dialog.accept(address(192, 168, 1, 100), address(192, 168, 1, 1), prompter))
      << ".103, planned at OK, is not checked yet";
  EXPECT_EQ(dialog.cell(2, 3), "检查中…");
  checker.answerAll(AddressUse::Free);
  ASSERT_TRUE(dialog.accept(address(192, 168, 1, 100), address(192, 168, 1, 1), prompter));
  EXPECT_THAT(prompter.texts(), ElementsAre(HasSubstr("192.168.1.100 至 192.168.1.103")));
  ASSERT_EQ(channel.setIps.size(), 1u) << "the first goes at once, the others paced";
  list({{"LATER-CAM", "192.168.1.103"}});
  timer.advance(kBatchSpacing);
  EXPECT_EQ(channel.setIps.size(), 2u);
  timer.advance(kBatchSpacing);
  EXPECT_THAT(sentAddresses(),
              ElementsAre(address(192, 168, 1, 100), address(192, 168, 1, 104), address(192, 168, 1, 105)));
}

TEST_F(BatchTest, OneBatchAtATimeAndEverySilentCameraIsNamedWithTheRefusedOnesApart) {
  list({{"CAM-1", "10.0.0.5"}, {"CAM-2", "10.0.0.6"}, {"CAM-3", "10.0.0.7"}, {"CAM-4", "10.0.0.8"}});
  ASSERT_TRUE(runBatch({0, 1, 2}, address(192, 168, 1, 100), address(192, 168, 1, 1)));
  EXPECT_TRUE(page.batchRunning());
  prompter.shown.clear();
  EXPECT_FALSE(runBatch({3}, address(192, 168, 1, 150), address(192, 168, 1, 1))) << "while it sends";
  EXPECT_THAT(prompter.texts(), ElementsAre(ui::strings::kBatchRunning));
  timer.advance(kBatchSpacing * 2);
  ASSERT_EQ(channel.setIps.size(), 3u);
  // CAM-1 takes its address, CAM-2 answers with its old one, CAM-3 is silent.
  answer("CAM-1", address(192, 168, 1, 100));
  answer("CAM-2", address(10, 0, 0, 6));
  prompter.shown.clear();
  timer.advance(kBatchAnswerWait / 3);
  EXPECT_FALSE(page.readyForBatch()) << "while it awaits the answers";
  EXPECT_THAT(prompter.texts(), ElementsAre(ui::strings::kBatchRunning));

  prompter.shown.clear();
  prompter.answer = true;
  timer.advance(kBatchAnswerWait);
  EXPECT_TRUE(prompter.shown.empty()) << "CAM-1 is looked for at its new address first";
  checker.answer(address(192, 168, 1, 100), AddressUse::InUse, "02:00:00:00:00:01");
  ASSERT_EQ(prompter.shown.size(), 1u);
  EXPECT_EQ(prompter.shown[0].prompt.text,
            "已确认 1 台摄像机在新IP上可以访问。\r\n\r\n"
            "以下摄像机有应答，但保留了原来的IP（没有接受修改）：\r\nCAM-2  192.168.1.101\r\n"
            "\r\n请检查新IP和网关是否适合这些摄像机。\r\n\r\n"
            "以下摄像机没有应答：\r\nCAM-3  192.168.1.102\r\n\r\n再发送一次吗？");
  ASSERT_EQ(channel.setIps.size(), 4u) << "OK sends to the silent camera alone";
  EXPECT_EQ(channel.setIps[3].mac, "CAM-3");
  EXPECT_EQ(channel.setIps[3].address, address(192, 168, 1, 102));
  answer("CAM-3", address(192, 168, 1, 102));
  prompter.shown.clear();
  sendAllAndWait();
  EXPECT_THAT(prompter.texts(), ElementsAre("已确认 1 台摄像机在新IP上可以访问。")) << "every camera answered";
  EXPECT_FALSE(page.batchRunning());
  prompter.answers.clear();
  EXPECT_TRUE(runBatch({3}, address(192, 168, 1, 150), address(192, 168, 1, 1)));
}

TEST_F(BatchTest, EveryPlannedAddressIsCheckedAtOnceAndOneInUseIsPassedOverWithTheReasonShown) {
  std::vector<std::pair<std::string, std::string>> cameras;
  std::vector<std::size_t> rows;
  for (int i = 0; i < 20; ++i) {
    cameras.emplace_back("CAM-" + std::to_string(i), "10.0.0." + std::to_string(i + 1));
    rows.push_back(static_cast<std::size_t>(i));
  }
  list(cameras);
  BatchDialog dialog(page, rows);
  dialog.replan(address(192, 168, 1, 100), address(192, 168, 1, 1));
  ASSERT_EQ(checker.running.size(), 1u) << "one check for every planned address";
  EXPECT_EQ(checker.running[0]->addresses.size(), 20u);
  EXPECT_FALSE(dialog.checked());
  for (const std::uint32_t squatted : {address(192, 168, 1, 103), address(192, 168, 1, 107), address(192, 168, 1, 111)})
    checker.answer(squatted, AddressUse::InUse, "02:54:56:00:00:0" + std::to_string(squatted & 0xF));
  EXPECT_EQ(dialog.cell(3, 2), "192.168.1.104");
  EXPECT_EQ(dialog.cell(3, 3), "检查中…，已跳过 192.168.1.103（被 02:54:56:00:00:07 使用）");
  EXPECT_EQ(dialog.cell(19, 2), "192.168.1.122") << "the plan moved on past the three";
  EXPECT_FALSE(dialog.accept(address(192, 168, 1, 100), address(192, 168, 1, 1), prompter)) << "not all checked";
  checker.answerAll(AddressUse::Free);
  EXPECT_TRUE(dialog.checked());
  EXPECT_EQ(dialog.cell(0, 3), "空闲");
  ASSERT_TRUE(dialog.accept(address(192, 168, 1, 100), address(192, 168, 1, 1), prompter));
  sendAllAndWait();
  ASSERT_EQ(channel.setIps.size(), 20u);
  for (const std::uint32_t sent : sentAddresses())
    EXPECT_TRUE(sent != address(192, 168, 1, 103) && sent != address(192, 168, 1, 107) &&
                sent != address(192, 168, 1, 111))
        << dotted(sent);
}

TEST_F(BatchTest, TheClosingNoticeNamesTheCamerasReachedNotReachedRefusedAndSilent) {
  list({{"02:00:00:00:00:01", "10.0.0.5"}, {"02:00:00:00:00:02", "10.0.0.6"}, {"CAM-3", "10.0.0.7"},
        {"CAM-4", "10.0.0.8"}});
  ASSERT_TRUE(runBatch({0, 1, 2, 3}, address(192, 168, 1, 100), address(192, 168, 1, 1)));
  prompter.shown.clear();
  timer.advance(kBatchSpacing * 4);
  answer("02:00:00:00:00:01", address(192, 168, 1, 100));
  answer("02:00:00:00:00:02", address(192, 168, 1, 101));
  answer("CAM-3", address(10, 0, 0, 7));
  timer.advance(kBatchAnswerWait);
  // The first answers at its new address; at the second's, another host does.
  checker.answer(address(192, 168, 1, 100), AddressUse::InUse, "02-00-00-00-00-01");
  prompter.answer = false;
  checker.answer(address(192, 168, 1, 101), AddressUse::InUse, "02:54:56:00:00:99");
  ASSERT_EQ(prompter.shown.size(), 1u);
  EXPECT_EQ(prompter.shown[0].prompt.text,
            "已确认 1 台摄像机在新IP上可以访问。\r\n\r\n"
            "以下摄像机已改为新IP，但从本机访问不到：\r\n02:00:00:00:00:02  192.168.1.101\r\n"
            "请检查网关和子网掩码是否适合本机的网络。\r\n\r\n"
            "以下摄像机有应答，但保留了原来的IP（没有接受修改）：\r\nCAM-3  192.168.1.102\r\n"
            "\r\n请检查新IP和网关是否适合这些摄像机。\r\n\r\n"
            "以下摄像机没有应答：\r\nCAM-4  192.168.1.103\r\n\r\n再发送一次吗？");
}

TEST_F(BatchTest, CamerasThatOnlyRefusedAreToldWithoutAnOfferToSendAgain) {
  list({{"CAM-1", "10.0.0.5"}});
  ASSERT_TRUE(runBatch({0}, address(192, 168, 1, 100), address(192, 168, 1, 1)));
  answer("CAM-1", address(10, 0, 0, 5));
  prompter.shown.clear();
  sendAllAndWait();
  ASSERT_EQ(prompter.shown.size(), 1u);
  EXPECT_FALSE(prompter.shown[0].question);
  EXPECT_THAT(prompter.shown[0].prompt.text, HasSubstr("保留了原来的IP"));
  EXPECT_EQ(channel.setIps.size(), 1u);
}

TEST_F(BatchTest, AHundredSilentCamerasAreNamedInANoticeThatFitsTheScreen) {
  std::vector<std::pair<std::string, std::string>> cameras;
  std::vector<std::size_t> rows;
  for (int i = 0; i < 100; ++i) {
    cameras.emplace_back("CAM-" + std::to_string(i), "10.0.0." + std::to_string(i + 1));
    rows.push_back(static_cast<std::size_t>(i));
  }
  list(cameras);
  ASSERT_TRUE(runBatch(rows, address(192, 168, 1, 100), address(192, 168, 1, 1)));
  prompter.shown.clear();
  prompter.answer = false;
  sendAllAndWait();
  ASSERT_EQ(channel.setIps.size(), 100u);
  ASSERT_EQ(prompter.shown.size(), 1u);
  const std::string& text = prompter.shown[0].prompt.text;
  EXPECT_THAT(text, HasSubstr("CAM-9  192.168.1.109\r\n……另有 90 台\r\n"));
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 13) << "ten cameras named, and the count of the rest";
}

TEST_F(BatchTest, ARangeThatWouldRunPast254SaysSoAndSendsNothing) {
  list({{"CAM-1", "10.0.0.5"}, {"CAM-2", "10.0.0.6"}});
  EXPECT_FALSE(runBatch({0, 1}, address(192, 168, 1, 254), address(192, 168, 1, 1)));
  ASSERT_EQ(prompter.shown.size(), 1u);
  EXPECT_EQ(prompter.shown[0].prompt.icon, Icon::Exclamation);
  EXPECT_THAT(prompter.shown[0].prompt.text, HasSubstr("192.168.1.254"));
  EXPECT_TRUE(channel.setIps.empty());
}

TEST_F(BatchTest, ClosingThePageEndsTheBatch) {
  list({{"CAM-1", "10.0.0.5"}, {"CAM-2", "10.0.0.6"}});
  ASSERT_TRUE(runBatch({0, 1}, address(192, 168, 1, 100), address(192, 168, 1, 1)));
  page.close();
  EXPECT_TRUE(channel.closed);
  EXPECT_EQ(timer.pending(), 0u);
  sendAllAndWait();
  EXPECT_EQ(channel.setIps.size(), 1u);
}

}  // namespace
}  // namespace pages
