// The set-up's commands as an ordinary user runs them: Debian's login PATH
// for one (/etc/profile) has no /usr/sbin, where `tc` lives.
#include "support/test_network_setup.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace testsupport {
namespace {

// PATH as a test sets it, put back afterwards.
class PathOverride {
 public:
  explicit PathOverride(const char* path) {
    if (const char* previous = std::getenv("PATH")) previous_ = previous;
    setenv("PATH", path, 1);
  }
  ~PathOverride() {
    if (previous_)
      setenv("PATH", previous_->c_str(), 1);
    else
      unsetenv("PATH");
  }
  PathOverride(const PathOverride&) = delete;
  PathOverride& operator=(const PathOverride&) = delete;

 private:
  std::optional<std::string> previous_;
};

constexpr const char* kOrdinaryUsersPath = "/usr/local/bin:/usr/bin:/bin:/usr/games";

TEST(TestNetworkSetupTest, FindsTheSystemToolsOnAnOrdinaryUsersPath) {
  const PathOverride ordinaryUser(kOrdinaryUsersPath);
  EXPECT_TRUE(runCommand("ip link show dev lo >/dev/null"));
  EXPECT_TRUE(runCommand("tc qdisc show dev lo >/dev/null"));
  EXPECT_EQ(missingTool("tc", "iproute2"), "");
}

TEST(TestNetworkSetupTest, NamesAToolThatIsMissingAndItsPackage) {
  EXPECT_EQ(missingTool("tovalen-no-such-tool", "tovalen-tools"),
            "tovalen-no-such-tool is not installed (Debian package tovalen-tools)");
  const PathOverride noPath("");
  EXPECT_TRUE(runCommand("tc qdisc show dev lo >/dev/null")) << "the system's directories are searched even so";
}

}  // namespace
}  // namespace testsupport
