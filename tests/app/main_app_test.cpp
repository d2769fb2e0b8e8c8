#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>

#include "app/main_app.h"
#include "app/single_instance.h"
#include "discovery/host_network.h"
#include "ui/fake_presenter.h"

namespace app {
namespace {

using testsupport::FakePresenter;

std::string uniqueName(const char* what) { return std::string("tovalen-test-") + what + "-" + std::to_string(getpid()); }

TEST(SingleInstanceLockTest, OneHolderPerNameWhileOtherNamesAreFree) {
  SingleInstanceLock first;
  ASSERT_TRUE(first.acquire(uniqueName("one")));
  SingleInstanceLock second;
  EXPECT_FALSE(second.acquire(uniqueName("one")));
  SingleInstanceLock otherName;
  EXPECT_TRUE(otherName.acquire(uniqueName("other")));
}

TEST(SingleInstanceLockTest, ReleasedWhenTheHolderGoes) {
  {
    SingleInstanceLock held;
    ASSERT_TRUE(held.acquire(uniqueName("scoped")));
  }
  SingleInstanceLock next;
  EXPECT_TRUE(next.acquire(uniqueName("scoped")));
}

TEST(SingleInstanceLockTest, AKilledHolderNeverBlocksTheNextStart) {
  const std::string name = uniqueName("killed");
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    SingleInstanceLock lock;
    const char held = lock.acquire(name) ? 'y' : 'n';
    [[maybe_unused]] auto written = write(ready[1], &held, 1);
    for (;;) pause();
  }
  char held = 0;
  ASSERT_EQ(read(ready[0], &held, 1), 1);
  ASSERT_EQ(held, 'y');
  SingleInstanceLock whileAlive;
  EXPECT_FALSE(whileAlive.acquire(name));
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  SingleInstanceLock afterKill;
  EXPECT_TRUE(afterKill.acquire(name));
  close(ready[0]);
  close(ready[1]);
}

TEST(MainAppTest, ASecondCopyShowsTheMessageAndEndsWithoutAWindow) {
  const QString name = QString::fromStdString(uniqueName("second"));
  SingleInstanceLock firstCopy;
  ASSERT_TRUE(firstCopy.acquire(name.toStdString()));
  FakePresenter messages;
  discovery::SystemNetwork network;
  EXPECT_NE(CMainApp(messages, network).run(name), 0);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, "该程序已经启动运行! ");
  EXPECT_EQ(messages.shown[0].caption, name);
  EXPECT_EQ(messages.shown[0].icon, ui::MessageIcon::Exclamation);
  EXPECT_EQ(messages.shown[0].buttons, ui::MessageButtons::Ok);
  EXPECT_TRUE(QApplication::topLevelWidgets().isEmpty());
}

TEST(MainAppTest, ApplicationNameIsTheExecutablesFileNameWithoutExtension) {
  EXPECT_EQ(applicationNameOf("/usr/bin/tovalen"), "tovalen");
  EXPECT_EQ(applicationNameOf("C:/Program Files/Tovalen/tovalen.exe"), "tovalen");
  EXPECT_EQ(applicationNameOf("./tovalen-copy"), "tovalen-copy");
}

}  // namespace
}  // namespace app
