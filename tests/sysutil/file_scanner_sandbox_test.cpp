// The mounted volumes under /mnt/ (a fresh folder inside the device sandbox).

#include <gtest/gtest.h>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <set>
#include <string>

#include "sysutil/file_scanner.h"
#include "tests/support/sandbox_guard.h"

namespace {

void MakeDir(const std::string& p) { mkdir(p.c_str(), 0755); }
void MakeFile(const std::string& p) {
  FILE* f = fopen(p.c_str(), "w");
  if (f != nullptr) fclose(f);
}

std::set<std::string> Scan(const char* start, uint32_t options, bool* allDirectories = nullptr) {
  CFileScanner scanner(CBoundedString(start), options, 0);
  std::set<std::string> out;
  if (allDirectories) *allDirectories = true;
  for (const CFileScanner::TEntry* e = scanner.First(); e != nullptr; e = scanner.Next()) {
    std::string path(e->path->Data(), e->path->Length());
    // Volumes that other tests of this process made are not this test's.
    if (path.rfind("/mnt/vol-", 0) != 0 && path.rfind("/mnt/initrd", 0) != 0) continue;
    out.insert(path);
    if (allDirectories && !e->isDirectory) *allDirectories = false;
    if (out.size() > 1000) break;
  }
  return out;
}

// /mnt/ vol-card/ (notes.txt maps/ (m1)) vol-usb/ (u1) initrd/ (i1) loose-file
void MakeVolumes() {
  MakeDir("/mnt/vol-card");
  MakeFile("/mnt/vol-card/notes.txt");
  MakeDir("/mnt/vol-card/maps");
  MakeFile("/mnt/vol-card/maps/m1");
  MakeDir("/mnt/vol-usb");
  MakeFile("/mnt/vol-usb/u1");
  MakeDir("/mnt/initrd");
  MakeFile("/mnt/initrd/i1");
  MakeFile("/mnt/loose-file");
}

bool MountFolderIsEmpty() {
  DIR* d = opendir("/mnt/");
  if (d == nullptr) return false;
  int names = 0;
  while (struct dirent* e = readdir(d)) names += e->d_name[0] != '.';
  closedir(d);
  return names == 0;
}

// Other tests in this process use /mnt/ too: leave it as it was found.
void RemoveVolumes() {
  for (const char* f : {"/mnt/vol-card/notes.txt", "/mnt/vol-card/maps/m1", "/mnt/vol-usb/u1",
                        "/mnt/initrd/i1", "/mnt/loose-file"}) {
    unlink(f);
  }
  for (const char* d : {"/mnt/vol-card/maps", "/mnt/vol-card", "/mnt/vol-usb", "/mnt/initrd"}) rmdir(d);
}

class FileScannerRoot : public testing::Test {
 protected:
  void TearDown() override { RemoveVolumes(); }
};

TEST_F(FileScannerRoot, NoVolumesGiveNothing) {
  KESTREL_REQUIRE_SANDBOX();
  if (!MountFolderIsEmpty()) GTEST_SKIP() << "/mnt/ holds what other tests made";
  EXPECT_TRUE(Scan(CFileScanner::kRootName, CFileScanner::kDirectoriesOnly).empty());
  EXPECT_TRUE(Scan(CFileScanner::kRootName, 0).empty());
}

TEST_F(FileScannerRoot, HandsOutVolumesAndWalksThem) {
  KESTREL_REQUIRE_SANDBOX();
  MakeVolumes();
  using S = std::set<std::string>;
  bool allDirectories = false;
  EXPECT_EQ(Scan(CFileScanner::kRootName, CFileScanner::kDirectoriesOnly, &allDirectories),
            (S{"/mnt/vol-card/", "/mnt/vol-usb/"}));
  EXPECT_TRUE(allDirectories);

  struct Case {
    uint32_t options;
    S expected;
  };
  const Case table[] = {
      {0, S{"/mnt/vol-card/notes.txt", "/mnt/vol-card/maps/", "/mnt/vol-usb/u1"}},
      {CFileScanner::kRecursive,
       S{"/mnt/vol-card/notes.txt", "/mnt/vol-card/maps/", "/mnt/vol-card/maps/m1", "/mnt/vol-usb/u1"}},
      {CFileScanner::kRecursive | CFileScanner::kDirectoriesOnly,
       S{"/mnt/vol-card/", "/mnt/vol-usb/", "/mnt/vol-card/maps/"}},
      {CFileScanner::kRecursive | CFileScanner::kFilesOnly,
       S{"/mnt/vol-card/notes.txt", "/mnt/vol-card/maps/m1", "/mnt/vol-usb/u1"}},
  };
  for (const Case& c : table) {
    EXPECT_EQ(Scan(CFileScanner::kRootName, c.options), c.expected) << "options " << c.options;
  }
  // The same folder on every volume that has it.
  EXPECT_EQ(Scan("maps", CFileScanner::kMountPoints), (S{"/mnt/vol-card/maps/m1"}));
}

}  // namespace
