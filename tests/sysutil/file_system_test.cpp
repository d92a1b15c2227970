// File-system operations on real files in a temporary folder.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <string>

#include "sysutil/bounded_string.h"
#include "tests/support/temp_dir.h"

namespace {

CPathBuffer PathOf(const std::string& path) { return CPathBuffer(path.c_str()); }

TEST(FileSystem, Tests) {
  TempDir dir;
  std::string file = dir.Write("f.txt", "x");
  EXPECT_EQ(PathOf(dir.Path()).IsDirectory(), 1);
  EXPECT_EQ(PathOf(dir.Path()).IsFile(), 0);
  EXPECT_EQ(PathOf(file).IsFile(), 1);
  EXPECT_EQ(PathOf(file).IsDirectory(), 0);
  EXPECT_EQ(PathOf(dir.File("none")).IsFile(), 0);
  EXPECT_EQ(PathOf(dir.File("none")).IsDirectory(), 0);
  EXPECT_EQ(CBoundedString("").IsDirectory(), 0);

  // The path may be a view over part of a longer text: nothing is written into it.
  std::string text = file + "trailing";
  CBoundedString whole(text.c_str());
  EXPECT_EQ(whole.Left(static_cast<int32_t>(file.size())).IsFile(), 1);
  EXPECT_EQ(std::string(text.c_str()), file + "trailing");
}

TEST(FileSystem, PathsThatCannotBePassedOnAreRefused) {
  TempDir dir;
  // A file whose path is exactly the path capacity, and a longer path that
  // starts with it: cutting the longer one would name the file.
  std::string file = dir.Write(std::string(kPathCapacity - dir.Path().size() - 1, 'f'), "x");
  ASSERT_EQ(file.size(), static_cast<size_t>(kPathCapacity));
  std::string longer = file + "/more";
  CBoundedString longView(longer.c_str());
  EXPECT_EQ(CBoundedString(file.c_str()).IsFile(), 1);
  EXPECT_EQ(longView.IsFile(), 0);
  EXPECT_EQ(longView.Remove(), -1);
  EXPECT_EQ(longView.CopyFile(CBoundedString(dir.File("c").c_str())), -1);

  std::string withNul = file + std::string(1, '\0') + "x";
  CBoundedString nulView(withNul.c_str(), static_cast<int32_t>(withNul.size()),
                         static_cast<int32_t>(withNul.size()));
  EXPECT_EQ(nulView.Remove(), -1);
  EXPECT_EQ(nulView.FreeSpaceKiB(), 0);
  EXPECT_EQ(ReadWholeFile(file), "x");
}

TEST(FileSystem, DirectoriesFilesAndRenames) {
  TempDir dir;
  CPathBuffer sub = PathOf(dir.File("sub"));
  EXPECT_EQ(sub.MakeDirectory(), 0);
  EXPECT_EQ(sub.MakeDirectory(), -1);  // already there
  struct stat st;
  ASSERT_EQ(stat(sub.CStr(), &st), 0);
  EXPECT_EQ(st.st_mode & 0700, 0700u);
  EXPECT_EQ(PathOf(dir.File("a/b")).MakeDirectory(), -1);  // parents are not made

  std::string file = dir.Write("sub/f", "data");
  EXPECT_EQ(sub.RemoveDirectory(), -1);  // not empty
  CPathBuffer moved = PathOf(dir.File("g"));
  EXPECT_EQ(PathOf(file).Rename(moved), 0);
  EXPECT_EQ(ReadWholeFile(dir.File("g")), "data");
  EXPECT_EQ(PathOf(file).Rename(moved), -1);
  EXPECT_EQ(sub.RemoveDirectory(), 0);
  EXPECT_EQ(sub.IsDirectory(), 0);
  EXPECT_EQ(moved.Remove(), 0);
  EXPECT_EQ(moved.Remove(), -1);
}

TEST(FileSystem, CopyFile) {
  TempDir dir;
  std::string big(150000, '\0');
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7 + i / 300);
  std::string from = dir.Write("big", big);
  EXPECT_EQ(PathOf(from).CopyFile(PathOf(dir.File("copy"))), 0);  // three blocks
  EXPECT_EQ(ReadWholeFile(dir.File("copy")), big);

  dir.Write("copy", std::string(200000, 'o'));  // an existing destination is truncated
  EXPECT_EQ(PathOf(from).CopyFile(PathOf(dir.File("copy"))), 0);
  EXPECT_EQ(ReadWholeFile(dir.File("copy")), big);

  std::string empty = dir.Write("empty", "");
  ASSERT_EQ(chmod(empty.c_str(), 0604), 0);
  EXPECT_EQ(PathOf(empty).CopyFile(PathOf(dir.File("empty2"))), 0);
  struct stat st;
  ASSERT_EQ(stat(dir.File("empty2").c_str(), &st), 0);
  EXPECT_EQ(st.st_size, 0);
  EXPECT_EQ(st.st_mode & 07777, 0604u);

  // A FIFO at either end is refused at once, never waited on.
  ASSERT_EQ(mkfifo(dir.File("fifo").c_str(), 0600), 0);
  EXPECT_EQ(PathOf(dir.File("fifo")).CopyFile(PathOf(dir.File("from-fifo"))), -1);
  EXPECT_EQ(ReadWholeFile(dir.File("from-fifo")), "<missing>");
  EXPECT_EQ(PathOf(from).CopyFile(PathOf(dir.File("fifo"))), -1);

  EXPECT_EQ(PathOf(dir.File("none")).CopyFile(PathOf(dir.File("x"))), -1);
  EXPECT_EQ(ReadWholeFile(dir.File("x")), "<missing>");
  EXPECT_EQ(PathOf(from).CopyFile(PathOf(dir.File("no/x"))), -1);

  // Onto itself (also through another spelling): refused, the data stays.
  EXPECT_EQ(PathOf(from).CopyFile(PathOf(from)), -1);
  EXPECT_EQ(PathOf(from).CopyFile(PathOf(dir.Path() + "/./big")), -1);
  EXPECT_EQ(ReadWholeFile(from), big);
}

TEST(FileSystem, FreeSpace) {
  TempDir dir;
  EXPECT_GT(PathOf(dir.Path()).FreeSpaceKiB(), 0);
  EXPECT_EQ(PathOf(dir.File("none")).FreeSpaceKiB(), 0);
}

}  // namespace
