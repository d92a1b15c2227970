#include "app/directory_reader.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

namespace {

std::vector<std::string> Read(const std::string& path) {
  std::vector<std::string> names;
  DirectoryReader reader(path.c_str());
  while (reader.HasMore()) {
    uint32_t length = 0;
    const char* name = reader.Next(&length);
    names.emplace_back(name, length);
  }
  return names;
}

// Every name once, "." and ".." included, whatever order the directory
// keeps them in; names of every length up to the longest, a line feed and
// bytes above 0x7F come through whole.
TEST(DirectoryReader, DeliversEveryNameOnceWithDotAndDotDot) {
  TempDir dir;
  const std::string longest(255, 'n');
  const std::vector<std::string> files = {"a.txt", longest, "line\nbreak", "\xE9t\xE9", "x"};
  for (const std::string& name : files) dir.Write(name, "");
  ASSERT_EQ(0, mkdir(dir.File("sub").c_str(), 0700));
  std::vector<std::string> expected = files;
  expected.insert(expected.end(), {".", "..", "sub"});
  std::sort(expected.begin(), expected.end());
  std::vector<std::string> names = Read(dir.Path());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(expected, names);
}

// An empty folder still holds "." and "..".
TEST(DirectoryReader, AnEmptyFolderDeliversDotAndDotDot) {
  TempDir dir;
  std::vector<std::string> names = Read(dir.Path());
  std::sort(names.begin(), names.end());
  EXPECT_EQ((std::vector<std::string>{".", ".."}), names);
}

TEST(DirectoryReader, AFolderThatCannotBeOpenedDeliversNothing) {
  TempDir dir;
  DirectoryReader missing(dir.File("missing").c_str());
  EXPECT_FALSE(missing.Opened());
  EXPECT_FALSE(missing.HasMore());
  const std::string file = dir.Write("file", "x");
  DirectoryReader notADirectory(file.c_str());
  EXPECT_FALSE(notADirectory.Opened());
  EXPECT_FALSE(notADirectory.HasMore());
  uint32_t length = 1;
  EXPECT_STREQ("", notADirectory.Next(&length));
  EXPECT_EQ(0u, length);
}

}  // namespace
