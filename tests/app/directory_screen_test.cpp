// Paths one level up; they touch no device path.
#include <gtest/gtest.h>

#include <string>

#include "app/directory_screen.h"

namespace {

TEST(ParentPath, GoesUpAndNeverLeavesTheCard) {
  struct Case {
    const char* path;
    const char* parent;
  } cases[] = {
      {"/mnt/sdcard//a/b", "/mnt/sdcard//a"},
      {"/mnt/sdcard//a", "/mnt/sdcard/"},
      {"/mnt/sdcard/", "/mnt/sdcard"},
      {"/mnt/sdcard", "/mnt/sdcard"},
      {"no separator", "/mnt/sdcard/"},
      {"", "/mnt/sdcard/"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.parent, ParentPath(c.path)) << c.path;
}

}  // namespace
