#include "app/directory_reader.h"

#include <dirent.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

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

// Every name, "." and ".." included, in the directory's own order.
TEST(DirectoryReader, DeliversTheNamesInTheDirectorysOrder) {
  TempDir dir;
  const std::string longest(255, 'n');
  for (const std::string& name : {std::string("a.txt"), longest, std::string("line\nbreak"), std::string("\xE9t\xE9")})
    dir.Write(name, "");
  mkdir(dir.File("sub").c_str(), 0700);
  std::vector<std::string> expected;
  DIR* d = opendir(dir.Path().c_str());
  ASSERT_NE(nullptr, d);
  while (const struct dirent* e = readdir(d)) expected.emplace_back(e->d_name);
  closedir(d);
  ASSERT_EQ(7u, expected.size());
  EXPECT_EQ(expected, Read(dir.Path()));
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
