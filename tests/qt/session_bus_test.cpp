// Where no session bus runs the program forgoes one, so that the D-Bus
// library starts none (dbus-launch, which would outlive the program); where
// one runs, it is left to Qt.
#include "qt/session_bus.h"

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QDBusConnection>
#include <QDBusError>
#include <QTemporaryDir>
#include <cstring>

#include "support/qt_printers.h"

namespace qtui {
namespace {

// A runtime directory of the test's own, and no bus address.
class SessionBusTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(runtime_.isValid());
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    qputenv("XDG_RUNTIME_DIR", runtime_.path().toLocal8Bit());
  }
  void TearDown() override {
    if (listener_ >= 0) close(listener_);
  }

  // A socket where the D-Bus library looks for the session's bus.
  void listenAsTheSessionBus() {
    listener_ = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(listener_, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray path = runtime_.filePath(QStringLiteral("bus")).toLocal8Bit();
    ASSERT_LT(static_cast<std::size_t>(path.size()), sizeof address.sun_path);
    std::memcpy(address.sun_path, path.constData(), path.size());
    ASSERT_EQ(bind(listener_, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
  }

  QTemporaryDir runtime_;
  int listener_ = -1;
};

TEST_F(SessionBusTest, WithNoBusTheLibraryIsToldThereIsNoneAndStartsNone) {
  forgoSessionBusWhereNoneRuns();
  EXPECT_EQ(qgetenv("DBUS_SESSION_BUS_ADDRESS"), "disabled:");
  const QDBusConnection bus = QDBusConnection::sessionBus();
  EXPECT_FALSE(bus.isConnected());
  // Without the address it would have run dbus-launch, and said so.
  EXPECT_FALSE(bus.lastError().message().contains(QStringLiteral("launch"))) << bus.lastError().message().toStdString();
}

TEST_F(SessionBusTest, ABusThatRunsIsLeftToQt) {
  ASSERT_NO_FATAL_FAILURE(listenAsTheSessionBus());
  forgoSessionBusWhereNoneRuns();
  EXPECT_FALSE(qEnvironmentVariableIsSet("DBUS_SESSION_BUS_ADDRESS"));

  qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/run/user/1000/bus");
  forgoSessionBusWhereNoneRuns();
  EXPECT_EQ(qgetenv("DBUS_SESSION_BUS_ADDRESS"), "unix:path=/run/user/1000/bus");
}

}  // namespace
}  // namespace qtui
