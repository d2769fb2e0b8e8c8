// What names a running copy: the executable's file name without its
// extension, from a path of either system.
#include "pages/startup.h"

#include <gtest/gtest.h>

namespace pages {
namespace {

TEST(StartupTest, ApplicationNameIsTheExecutablesFileNameWithoutExtension) {
  EXPECT_EQ(applicationNameOf("/usr/bin/tovalen"), "tovalen");
  EXPECT_EQ(applicationNameOf("C:/Program Files/Tovalen/tovalen.exe"), "tovalen");
  EXPECT_EQ(applicationNameOf("C:\\Program Files\\Tovalen\\tovalen.exe"), "tovalen");
  EXPECT_EQ(applicationNameOf("./tovalen-copy"), "tovalen-copy");
  EXPECT_EQ(applicationNameOf("tovalen.old.exe"), "tovalen.old");
}

}  // namespace
}  // namespace pages
