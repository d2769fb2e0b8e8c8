// The single-instance lock: one holder per user and name, gone with its
// process however it ends, and never turned against its user by another
// user's files.
#include "pages/single_instance.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>

#include "support/ci.h"

namespace pages {
namespace {

using testsupport::underCi;

// A shared directory like /tmp (sticky, writable by all) and a session's
// runtime directory in it, made for each test and removed after it.
class SingleInstanceLockTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "tovalen-lock-test.XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    shared_ = pattern;
    ASSERT_EQ(chmod(shared_.c_str(), 01777), 0);
    ASSERT_NO_FATAL_FAILURE(makeDirectory(runtime(), 0700));
  }
  void TearDown() override { std::filesystem::remove_all(shared_); }

  static void makeDirectory(const std::string& path, mode_t mode) {
    ASSERT_EQ(mkdir(path.c_str(), mode), 0) << path;
    ASSERT_EQ(chmod(path.c_str(), mode), 0) << path;  // whatever the umask
  }
  static bool exists(const std::string& path) {
    struct stat status {};
    return lstat(path.c_str(), &status) == 0;
  }

  std::string runtime() const { return shared_ + "/run"; }
  // Where the lock goes without a usable runtime directory.
  std::string fallback(uid_t user = geteuid()) const { return shared_ + "/tovalen-" + std::to_string(user); }
  LockPlaces session() const { return {runtime(), shared_}; }
  LockPlaces noSession() const { return {"", shared_}; }

  std::string shared_;
};

TEST_F(SingleInstanceLockTest, OneHolderPerNameWhileOtherNamesAreFree) {
  SingleInstanceLock first(session());
  ASSERT_TRUE(first.acquire("one"));
  EXPECT_EQ(first.unguardedReason(), "");
  SingleInstanceLock second(session());
  EXPECT_FALSE(second.acquire("one"));
  SingleInstanceLock otherName(session());
  EXPECT_TRUE(otherName.acquire("other"));
}

TEST_F(SingleInstanceLockTest, ReleasedWhenTheHolderGoes) {
  {
    SingleInstanceLock held(session());
    ASSERT_TRUE(held.acquire("scoped"));
  }
  SingleInstanceLock next(session());
  EXPECT_TRUE(next.acquire("scoped"));
  EXPECT_EQ(next.unguardedReason(), "");
}

TEST_F(SingleInstanceLockTest, AKilledHolderNeverBlocksTheNextStart) {
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    SingleInstanceLock lock(session());
    const char held = lock.acquire("killed") ? 'y' : 'n';
    [[maybe_unused]] auto written = write(ready[1], &held, 1);
    for (;;) pause();
  }
  char held = 0;
  ASSERT_EQ(read(ready[0], &held, 1), 1);
  ASSERT_EQ(held, 'y');
  SingleInstanceLock whileAlive(session());
  EXPECT_FALSE(whileAlive.acquire("killed"));
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  SingleInstanceLock afterKill(session());
  EXPECT_TRUE(afterKill.acquire("killed"));
  close(ready[0]);
  close(ready[1]);
}

TEST_F(SingleInstanceLockTest, ARuntimeDirectoryNotTheUsersAloneIsPassedOver) {
  const std::string link = shared_ + "/link";
  const std::string open = shared_ + "/open";
  ASSERT_EQ(symlink(runtime().c_str(), link.c_str()), 0);
  ASSERT_NO_FATAL_FAILURE(makeDirectory(open, 0755));
  for (const std::string& candidate : {link, std::filesystem::relative(runtime()).string(), open}) {
    SingleInstanceLock lock({candidate, shared_});
    EXPECT_TRUE(lock.acquire("tovalen"));
    EXPECT_EQ(lock.unguardedReason(), "") << candidate;
  }
  EXPECT_TRUE(exists(fallback() + "/tovalen.lock"));
  EXPECT_TRUE(std::filesystem::is_empty(runtime()));
  EXPECT_TRUE(std::filesystem::is_empty(open));
}

TEST_F(SingleInstanceLockTest, TheFallbackIsNeverASymbolicLink) {
  // The user's own private folder, where a link made by someone else points.
  const std::string privateFolder = shared_ + "/private";
  ASSERT_NO_FATAL_FAILURE(makeDirectory(privateFolder, 0700));
  ASSERT_EQ(symlink(privateFolder.c_str(), fallback().c_str()), 0);
  SingleInstanceLock lock(noSession());
  EXPECT_TRUE(lock.acquire("tovalen"));
  EXPECT_NE(lock.unguardedReason(), "");
  EXPECT_TRUE(std::filesystem::is_empty(privateFolder));
}

TEST_F(SingleInstanceLockTest, AnUnusableLockFileStartsEveryCopyAndIsLeftAlone) {
  // Inside the user's own directory only the user (or root) can put these; a
  // copy cannot tell another copy's failure from its own, so each one starts
  // rather than none, and nothing is removed or written through.
  const std::string target = shared_ + "/target";
  ASSERT_EQ(symlink(target.c_str(), (runtime() + "/linked.lock").c_str()), 0);
  ASSERT_NO_FATAL_FAILURE(makeDirectory(runtime() + "/folder.lock", 0700));
  for (const char* name : {"linked", "folder"}) {
    SingleInstanceLock first(session());
    EXPECT_TRUE(first.acquire(name));
    EXPECT_NE(first.unguardedReason(), "") << name;
    SingleInstanceLock second(session());
    EXPECT_TRUE(second.acquire(name));
  }
  EXPECT_FALSE(exists(target));
  EXPECT_TRUE(exists(runtime() + "/linked.lock"));
  EXPECT_TRUE(exists(runtime() + "/folder.lock"));
}

// Another user ("nobody") is played by files root gives away and by a child
// process that becomes that user; without root the tests are skipped.
class SingleInstanceLockOtherUserTest : public SingleInstanceLockTest {
 protected:
  static constexpr uid_t kOtherUser = 65534;

  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(SingleInstanceLockTest::SetUp());
    const std::string probe = shared_ + "/probe";
    ASSERT_NO_FATAL_FAILURE(makeDirectory(probe, 0700));
    if (!giveAway(probe)) {
      const std::string reason = std::string("needs root to make files of another user: ") + std::strerror(errno);
      if (underCi()) FAIL() << reason;
      GTEST_SKIP() << reason;
    }
    rmdir(probe.c_str());
  }

  static bool giveAway(const std::string& path) { return lchown(path.c_str(), kOtherUser, kOtherUser) == 0; }

  // A directory of the other user's that everyone may write to.
  static void makeForeignDirectory(const std::string& path) {
    ASSERT_NO_FATAL_FAILURE(makeDirectory(path, 0777));
    ASSERT_TRUE(giveAway(path));
  }

  // A directory of the other user's with a lock file anyone may open, locked
  // through the handle returned.
  static int holdForeignLock(const std::string& directory) {
    makeForeignDirectory(directory);
    const std::string file = directory + "/tovalen.lock";
    const int handle = open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (handle < 0 || fchmod(handle, 0666) != 0 || !giveAway(file) || flock(handle, LOCK_EX | LOCK_NB) != 0)
      ADD_FAILURE() << "cannot hold a lock in " << directory << ": " << std::strerror(errno);
    return handle;
  }

  // What `body` returns when run by the other user, in a child process.
  static std::string asOtherUser(const std::function<std::string()>& body) {
    int out[2];
    if (pipe(out) != 0) return "no pipe";
    const pid_t child = fork();
    if (child == 0) {
      close(out[0]);
      const bool changed = setgroups(0, nullptr) == 0 && setgid(kOtherUser) == 0 && setuid(kOtherUser) == 0;
      const std::string text = changed ? body() : "cannot become the other user";
      [[maybe_unused]] auto written = write(out[1], text.data(), text.size());
      _exit(0);
    }
    close(out[1]);
    std::string text;
    char buffer[256];
    for (ssize_t size; (size = read(out[0], buffer, sizeof buffer)) > 0;) text.append(buffer, size);
    close(out[0]);
    waitpid(child, nullptr, 0);
    return text;
  }
};

TEST_F(SingleInstanceLockOtherUserTest, ALinkPlantedByAnotherUserIsNeverFollowed) {
  const std::string privateFolder = shared_ + "/private";
  ASSERT_NO_FATAL_FAILURE(makeDirectory(privateFolder, 0700));
  ASSERT_NO_FATAL_FAILURE(makeForeignDirectory(fallback()));
  const std::string link = fallback() + "/tovalen.lock";
  ASSERT_EQ(symlink((privateFolder + "/tovalen.lock").c_str(), link.c_str()), 0);
  ASSERT_TRUE(giveAway(link));
  SingleInstanceLock lock(noSession());
  EXPECT_TRUE(lock.acquire("tovalen"));
  EXPECT_NE(lock.unguardedReason(), "");
  EXPECT_TRUE(std::filesystem::is_empty(privateFolder));
}

TEST_F(SingleInstanceLockOtherUserTest, ALockHeldByAnotherUserNeverStopsTheStart) {
  // A runtime directory of the other user's is passed over for a fallback of
  // the user's own...
  const std::string foreignRuntime = shared_ + "/foreign-run";
  const int heldInRuntime = holdForeignLock(foreignRuntime);
  SingleInstanceLock lock({foreignRuntime, shared_});
  EXPECT_TRUE(lock.acquire("tovalen"));
  EXPECT_EQ(lock.unguardedReason(), "");
  // ...and with the fallback's place taken too, the program starts unguarded.
  const std::string otherShared = shared_ + "/other-tmp";
  ASSERT_NO_FATAL_FAILURE(makeDirectory(otherShared, 01777));
  const int heldInFallback = holdForeignLock(otherShared + "/tovalen-" + std::to_string(geteuid()));
  SingleInstanceLock unguarded({foreignRuntime, otherShared});
  EXPECT_TRUE(unguarded.acquire("tovalen"));
  EXPECT_NE(unguarded.unguardedReason(), "");
  close(heldInRuntime);
  close(heldInFallback);
}

TEST_F(SingleInstanceLockOtherUserTest, AnUnwritableFallbackOfTheUsersOwnStillGuards) {
  // Left by a start under a umask that took the owner's write permission.
  ASSERT_NO_FATAL_FAILURE(makeDirectory(fallback(kOtherUser), 0500));
  ASSERT_TRUE(giveAway(fallback(kOtherUser)));
  const std::string copies = asOtherUser([this] {
    SingleInstanceLock first(noSession());
    SingleInstanceLock second(noSession());
    const bool firstStarts = first.acquire("tovalen");
    return std::string(firstStarts ? "first starts" : "first stops") + ", " +
           (second.acquire("tovalen") ? "second starts" : "second stops") + ": " + first.unguardedReason();
  });
  EXPECT_EQ(copies, "first starts, second stops: ");
}

}  // namespace
}  // namespace pages
