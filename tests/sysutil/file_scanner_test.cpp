#include "sysutil/file_scanner.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

namespace {

struct Seen {
  std::string path;
  uint32_t isDirectory;
  std::string name;
};

std::vector<Seen> Scan(const std::string& start, uint32_t options, int32_t pending = 0) {
  CPathBuffer path(start.c_str());
  CFileScanner scanner(path, options, pending);
  std::vector<Seen> out;
  for (const CFileScanner::TEntry* e = scanner.First(); e != nullptr; e = scanner.Next()) {
    CBoundedString name = e->Name();
    out.push_back({std::string(e->path->Data(), e->path->Length()), e->isDirectory,
                   std::string(name.Data(), name.Length())});
    if (out.size() > 10000) break;  // a runaway scan fails below instead of hanging
  }
  return out;
}

std::multiset<std::string> Paths(const std::vector<Seen>& seen, const std::string& root) {
  std::multiset<std::string> out;
  for (const Seen& s : seen) out.insert(s.path.substr(root.size()));
  return out;
}

void MakeDir(const std::string& p) { ASSERT_EQ(mkdir(p.c_str(), 0755), 0) << p; }

// root/ f1 f2 a/ (a1 s/ (s1)) b/ (b1)
class ScannerTree : public testing::Test {
 protected:
  void SetUp() override {
    dir.Write("f1", "");
    dir.Write("f2", "");
    MakeDir(dir.File("a"));
    dir.Write("a/a1", "");
    MakeDir(dir.File("a/s"));
    dir.Write("a/s/s1", "");
    MakeDir(dir.File("b"));
    dir.Write("b/b1", "");
    root = dir.Path() + "/";
  }
  TempDir dir;
  std::string root;
};

TEST_F(ScannerTree, OptionsSelectEntries) {
  using S = std::multiset<std::string>;
  struct Case {
    uint32_t options;
    S expected;
  };
  const std::vector<Case> table = {
      {0, S{"f1", "f2", "a/", "b/"}},
      {CFileScanner::kFilesOnly, S{"f1", "f2"}},
      {CFileScanner::kDirectoriesOnly, S{"a/", "b/"}},
      {CFileScanner::kRecursive, S{"f1", "f2", "a/", "b/", "a/a1", "a/s/", "a/s/s1", "b/b1"}},
      {CFileScanner::kRecursive | CFileScanner::kFilesOnly, S{"f1", "f2", "a/a1", "a/s/s1", "b/b1"}},
      {CFileScanner::kRecursive | CFileScanner::kDirectoriesOnly, S{"a/", "b/", "a/s/"}},
  };
  for (const Case& c : table) {
    // The start path works with or without its trailing separator.
    for (const std::string& start : {root, dir.Path()}) {
      std::vector<Seen> seen = Scan(start, c.options);
      EXPECT_EQ(Paths(seen, root), c.expected) << "options " << c.options << " start " << start;
      for (const Seen& s : seen) {
        EXPECT_EQ(s.isDirectory, s.path.back() == '/' ? 1u : 0u) << s.path;
        std::string last = s.path.substr(s.path.rfind('/', s.path.size() - 2) + 1);
        EXPECT_EQ(s.name, last);
      }
    }
  }
}

TEST_F(ScannerTree, RecursiveScanIsDepthFirstAfterTheParentsEntries) {
  std::vector<Seen> seen = Scan(root, CFileScanner::kRecursive);
  std::vector<std::string> order;
  for (const Seen& s : seen) order.push_back(s.path.substr(root.size()));
  auto at = [&](const std::string& p) {
    return std::find(order.begin(), order.end(), p) - order.begin();
  };
  ASSERT_EQ(order.size(), 8u);
  // Every top-level entry comes before anything inside a sub-directory.
  size_t topLevel = std::max({at("f1"), at("f2"), at("a/"), at("b/")});
  EXPECT_LT(topLevel, std::min({at("a/a1"), at("a/s/"), at("b/b1")}));
  // a/'s whole sub-tree is visited in one piece (the last found first).
  EXPECT_LT(at("a/a1"), at("a/s/s1"));
  EXPECT_LT(at("a/s/"), at("a/s/s1"));
  bool aFirst = at("a/a1") < at("b/b1");
  if (aFirst) {
    EXPECT_LT(at("a/s/s1"), at("b/b1"));
  } else {
    EXPECT_GT(at("a/a1"), at("b/b1"));
  }
}

TEST(FileScanner, MissingOrEmptyStartGivesNothing) {
  TempDir dir;
  EXPECT_TRUE(Scan(dir.File("missing"), 0).empty());
  EXPECT_TRUE(Scan(dir.File("missing"), CFileScanner::kRecursive).empty());
  EXPECT_TRUE(Scan(dir.Path(), CFileScanner::kRecursive).empty());
  EXPECT_TRUE(Scan("", 0).empty());
}

TEST(FileScanner, PendingSizeHasAFloorAndOverflowSkipsSubDirectories) {
  CPathBuffer p("/nonexistent/");
  EXPECT_EQ(CFileScanner(p, CFileScanner::kRecursive, 100).PendingSize(), 2048);
  EXPECT_EQ(CFileScanner(p, CFileScanner::kRecursive, 4096).PendingSize(), 4096);

  // 20 sub-directories with 200-character names cannot all wait in 2,048
  // bytes: the ones that do not fit are not visited, and nothing overruns.
  TempDir dir;
  for (int i = 0; i < 20; ++i) {
    std::string name = std::string(197, 'd') + std::to_string(100 + i);
    MakeDir(dir.File(name));
    dir.Write(name + "/inner", "");
  }
  std::vector<Seen> seen = Scan(dir.Path(), CFileScanner::kRecursive | CFileScanner::kFilesOnly);
  EXPECT_GT(seen.size(), 0u);
  EXPECT_LT(seen.size(), 20u);
  for (const Seen& s : seen) EXPECT_EQ(s.name, "inner");
}

TEST(FileScanner, PathsThatWouldBeCutAreSkipped) {
  TempDir dir;
  // Nest directories until the paths pass 255 characters.
  std::string rel;
  std::set<std::string> fitting;
  while ((dir.Path() + "/" + rel).size() < 300) {
    rel += std::string(40, 'n') + "/";
    MakeDir(dir.File(rel));
    dir.Write(rel + "file", "");
    std::string full = dir.Path() + "/" + rel + "file";
    if (full.size() <= 255) fitting.insert(full);
  }
  std::vector<Seen> seen = Scan(dir.Path(), CFileScanner::kRecursive | CFileScanner::kFilesOnly);
  std::set<std::string> got;
  for (const Seen& s : seen) {
    EXPECT_LE(s.path.size(), 255u);
    EXPECT_EQ(access(s.path.c_str(), F_OK), 0) << "a returned path names a real file: " << s.path;
    got.insert(s.path);
  }
  EXPECT_EQ(got, fitting);
}

TEST(FileScanner, DanglingLinkDoesNotEndTheDirectory) {
  TempDir dir;
  for (int i = 0; i < 5; ++i) dir.Write("f" + std::to_string(i), "");
  ASSERT_EQ(symlink(dir.File("nowhere").c_str(), dir.File("dangling").c_str()), 0);
  EXPECT_EQ(Scan(dir.Path(), CFileScanner::kFilesOnly).size(), 5u);
}

TEST(FileScanner, LinkedDirectoriesAreListedButNotWalked) {
  TempDir dir;
  MakeDir(dir.File("real"));
  dir.Write("real/inside", "");
  ASSERT_EQ(symlink(".", dir.File("loop1").c_str()), 0);
  ASSERT_EQ(symlink(".", dir.File("loop2").c_str()), 0);
  ASSERT_EQ(symlink("real", dir.File("alias").c_str()), 0);
  std::vector<Seen> seen = Scan(dir.Path(), CFileScanner::kRecursive);
  EXPECT_EQ(Paths(seen, dir.Path() + "/"),
            (std::multiset<std::string>{"real/", "real/inside", "loop1/", "loop2/", "alias/"}));
}

TEST(FileNameList, GrowsAndIteratesOnce) {
  CFileNameList list;
  EXPECT_EQ(list.Reset(), nullptr);
  for (int i = 0; i < 12; ++i) {
    CPathBuffer p;
    p.Set("/p");
    p.AppendDecimal(i);
    ASSERT_EQ(list.Add(p), 0);
  }
  EXPECT_EQ(list.Count(), 12);
  // Reset rewinds and shows the first path; Next hands out from there.
  for (int pass = 0; pass < 2; ++pass) {
    const CBoundedString* first = list.Reset();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(std::string(first->Data(), first->Length()), "/p0");
    int n = 0;
    for (const CBoundedString* p = list.Next(); p != nullptr; p = list.Next(), ++n) {
      EXPECT_EQ(std::string(p->Data(), p->Length()), "/p" + std::to_string(n));
    }
    EXPECT_EQ(n, 12);
  }
}

TEST(DirectoryList, KeepsTwoRoots) {
  CDirectoryList list;
  list.Add(CBoundedString("/mnt/sdcard/"));
  list.Add(CBoundedString("/mnt/usb/"));
  list.Add(CBoundedString("/mnt/third/"));
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Get(1)->Compare(CBoundedString("/mnt/usb/")), 0);
  EXPECT_EQ(list.Get(2), nullptr);
  EXPECT_EQ(list.Get(-1), nullptr);
}

}  // namespace
