// Renders the program's windows to PNG files on the offscreen platform: the
// camera page with a few cameras listed, the batch dialog for all of them,
// the calculator page after a calculation, and the About box. Run as the PC
// of tools/lab/tovalen-try, whose gateway proposes the new address; the
// cameras listed are played by datagrams this tool sends to the group itself.
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTableView>
#include <cstdio>
#include <numeric>
#include <vector>

#include "discovery/channel.h"
#include "discovery/datagram_socket.h"
#include "discovery/host_network.h"
#include "qt/about_box.h"
#include "qt/batch_dialog.h"
#include "qt/dialog_builder.h"
#include "qt/calc_page.h"
#include "qt/camera_page.h"
#include "qt/main_window.h"
#include "qt/message_box.h"
#include "res/resource_ids.h"

namespace {

struct SampleCamera {
  const char* mac;
  const char* ip;
  const char* gateway;
};

constexpr SampleCamera kCameras[] = {
    {"00:1A:2B:3C:4D:01", "10.0.0.5", "10.0.0.1"},
    {"00:1A:2B:3C:4D:02", "172.16.5.20", "172.16.5.1"},
    {"00:1A:2B:3C:4D:03", "192.168.50.30", "192.168.50.1"},
    {"00:1A:2B:3C:4D:04", "192.168.1.64", "192.168.1.1"},
};

void announceCameras() {
  discovery::DatagramSocket camera;
  if (!camera.create()) return;
  for (const SampleCamera& sample : kCameras) {
    discovery::DeviceInfoRecord record;
    record.mac.assign(sample.mac);
    record.ip.assign(sample.ip);
    record.gateway.assign(sample.gateway);
    camera.sendTo(discovery::DISCOVERY_GROUP, discovery::DISCOVERY_PORT,
                  discovery::encodeDatagram(discovery::CMD_SEARCH_REPLY, discovery::encodeRecord(record)));
  }
}

bool save(QWidget* widget, const QDir& folder, const QString& name) {
  const QString path = folder.filePath(name);
  const bool saved = widget->grab().save(path);
  std::printf("%s %s\n", saved ? "wrote" : "could not write", qPrintable(path));
  return saved;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  const QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
  qtui::QtMessagePresenter messages;
  discovery::SystemNetwork network;
  qtui::MainWindow window(messages, network);
  window.show();
  // The camera page hears them once its channel, opened behind the window, is open.
  if (!QTest::qWaitFor([&] { return window.cameraPage()->page().channelOpened().has_value(); }, 10000)) {
    std::fprintf(stderr, "the camera page's channel never finished opening\n");
    return 1;
  }

  announceCameras();
  const auto& cameras = window.cameraPage()->cameraModel();
  if (!QTest::qWaitFor([&] { return cameras.rowCount() == static_cast<int>(std::size(kCameras)); }, 10000)) {
    std::fprintf(stderr, "the sample cameras never showed up (is 224.0.0.0/4 routed in this namespace?)\n");
    return 1;
  }
  auto* list = qtui::control(window.cameraPage(), ui::ids::camera_page::kCameraList);
  list->setFocus();
  list->setCurrentIndex(cameras.index(0, 0));
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(cameras.index(0, 0)).center());
  bool ok = save(&window, folder, "camera-page.png");

  std::vector<std::size_t> every(std::size(kCameras));
  std::iota(every.begin(), every.end(), 0);
  qtui::BatchDialog batch(messages, window.cameraPage()->page(), every, &window);
  batch.show();
  ok = save(&batch, folder, "batch-dialog.png") && ok;
  batch.hide();

  window.showPage(qtui::MainWindow::kCalculatorPage);
  QTest::mouseClick(qtui::control(window.calculatorPage(), ui::ids::calc_page::kCalculate), Qt::LeftButton);
  ok = save(&window, folder, "calculator-page.png") && ok;

  qtui::AboutBox about(&window);
  about.show();
  ok = save(&about, folder, "about-box.png") && ok;
  return ok ? 0 : 1;
}
