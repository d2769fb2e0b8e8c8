// The lock on Windows: one holder per name in the session, free again when
// the holder goes.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>

#include "pages/single_instance.h"

namespace pages {
namespace {

std::string uniqueName(const char* what) {
  return std::string("tovalen-test-") + what + "-" + std::to_string(GetCurrentProcessId());
}

TEST(SingleInstanceLockWindowsTest, OneHolderPerNameWhileOtherNamesAreFree) {
  const std::string name = uniqueName("one");
  SingleInstanceLock first;
  ASSERT_TRUE(first.acquire(name));
  EXPECT_EQ(first.unguardedReason(), "");
  SingleInstanceLock second;
  EXPECT_FALSE(second.acquire(name));
  SingleInstanceLock other;
  EXPECT_TRUE(other.acquire(uniqueName("other")));
}

TEST(SingleInstanceLockWindowsTest, ReleasedWhenTheHolderGoes) {
  const std::string name = uniqueName("released");
  auto first = std::make_unique<SingleInstanceLock>();
  ASSERT_TRUE(first->acquire(name));
  first.reset();
  SingleInstanceLock next;
  EXPECT_TRUE(next.acquire(name));
  EXPECT_EQ(next.unguardedReason(), "");
}

TEST(SingleInstanceLockWindowsTest, AChineseNameIsANameLikeAnyOther) {
  const std::string name = uniqueName("摄像机");
  SingleInstanceLock first;
  ASSERT_TRUE(first.acquire(name));
  SingleInstanceLock second;
  EXPECT_FALSE(second.acquire(name));
}

}  // namespace
}  // namespace pages
