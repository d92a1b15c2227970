#include "sysutil/card_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "sysutil/file_manager.h"
#include "tests/support/temp_dir.h"

namespace {

std::string Str(const CBoundedString& s) { return std::string(s.Data(), s.Length()); }

TEST(CardFiles, KnownAndCheckFilePaths) {
  struct Case {
    int number;
    const char* path;
  };
  const Case known[] = {
      {kKnownFileRecord, "/mnt/sdcard/kestrel.rec"},
      {9, "/mnt/sdcard/Maps/Poi/poi.idx"},
      {20, "/mnt/sdcard/Logs/session.log"},
      {kKnownFileSettings, "/mnt/flash/settings.ini"},
      {4, "/mnt/sdcard/"},  // a gap in the table
      {0, "/mnt/sdcard/"},
      {-3, "/mnt/sdcard/"},
  };
  for (const Case& c : known) EXPECT_EQ(Str(KnownFilePath(c.number)), c.path) << c.number;

  EXPECT_EQ(Str(CheckFilePath(7)), "/mnt/sdcard/Logs/check07.dat");
  EXPECT_EQ(Str(CheckFilePath(99)), "/mnt/sdcard/Logs/check99.dat");
  EXPECT_EQ(Str(CheckFilePath(100)), "/mnt/sdcard/Logs/check100.dat");
}

TEST(CardFiles, FileTypesAndExtensions) {
  EXPECT_EQ(Str(FileTypeExtension(2)), ".txt");
  EXPECT_EQ(Str(FileTypeExtension(21)), ".bin");
  for (int t : {-1, 0, 1, 22, 1000}) EXPECT_EQ(FileTypeExtension(t).Length(), 0) << t;
  for (int t = 2; t <= 21; ++t) {
    CBoundedString ext = FileTypeExtension(t);
    ASSERT_GT(ext.Length(), 1) << t;
    EXPECT_EQ(ext.CharAt(0), '.');
  }

  struct Case {
    const char* path;
    const char* ext;
    int expected;
  };
  const Case table[] = {
      {"/a/b.TXT", ".txt", 1}, {"/a/b.txt", ".TXT", 1}, {"/a/b.txt", ".log", 0},
      {"txt", ".txt", 0},      {".txt", ".txt", 1},     {"/a/b.txt", "", 1},
  };
  for (const Case& c : table) {
    EXPECT_EQ(HasExtension(CBoundedString(c.path), CBoundedString(c.ext)), c.expected)
        << c.path << " " << c.ext;
  }
  EXPECT_EQ(HasFileType(CBoundedString("/a/b.Log"), 3), 1);
  EXPECT_EQ(HasFileType(CBoundedString("/a/b.log"), 2), 0);
  EXPECT_EQ(HasFileType(CBoundedString("/a/b.log"), 99), 0);

  struct SetCase {
    const char* path;
    int type;
    const char* expected;
  };
  const SetCase sets[] = {
      {"/a/b.log", 2, "/a/b.txt"},
      {"/a/b", 2, "/a/b.txt"},
      {"/a.d/b", 2, "/a.d/b.txt"},  // a '.' in a folder name is no extension
      {"/a/b.c.log", 5, "/a/b.c.dat"},
      {"/a/b.log", 99, "/a/b"},
  };
  for (const SetCase& c : sets) {
    CPathBuffer p(c.path);
    SetFileType(p, c.type);
    EXPECT_EQ(Str(p), c.expected) << c.path;
  }
}

TEST(CardFiles, DirectoryChores) {
  TempDir dir;
  CPathBuffer out("unchanged");
  EXPECT_EQ(FirstFileIn(CPathBuffer(dir.File("missing").c_str()), out), 0);
  EXPECT_EQ(FirstFileIn(CPathBuffer(dir.Path().c_str()), out), 0);  // empty
  EXPECT_EQ(Str(out), "unchanged");

  ASSERT_EQ(mkdir(dir.File("sub").c_str(), 0755), 0);
  dir.Write("sub/kept", "x");
  EXPECT_EQ(FirstFileIn(CPathBuffer(dir.Path().c_str()), out), 0) << "directories are no files";
  dir.Write("one", "1");
  EXPECT_EQ(FirstFileIn(CPathBuffer(dir.Path().c_str()), out), 1);
  EXPECT_EQ(Str(out), dir.Path() + "/one");

  dir.Write("two", "2");
  EXPECT_EQ(DeleteFilesIn(CPathBuffer(dir.Path().c_str())), 0);
  EXPECT_EQ(access(dir.File("one").c_str(), F_OK), -1);
  EXPECT_EQ(access(dir.File("two").c_str(), F_OK), -1);
  EXPECT_EQ(ReadWholeFile(dir.File("sub/kept")), "x");
  EXPECT_EQ(DeleteFilesIn(CPathBuffer(dir.File("missing").c_str())), 0);
}

class RecordFile : public testing::Test {
 protected:
  void SetUp() override {
    path = dir.File("record");
    manager.SetRecordPath(CPathBuffer(path.c_str()));
  }
  void WriteRaw(const std::string& bytes) {
    FILE* f = fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
  }
  static std::string Length(int32_t n) { return std::string(reinterpret_cast<char*>(&n), 4); }
  std::string Read() {
    char* text = ReadRecord(manager);
    EXPECT_EQ(manager.Registry().Count(), 0) << "the record file was closed";
    if (text == nullptr) return "<null>";
    std::string s(text);
    std::free(text);
    return s;
  }

  TempDir dir;
  std::string path;
  CFileManager manager;
};

TEST_F(RecordFile, RoundTrips) {
  EXPECT_EQ(Read(), "<null>");  // missing
  ASSERT_EQ(WriteRecord(manager, CBoundedString("")), 0);
  EXPECT_EQ(ReadWholeFile(path), Length(1) + std::string(1, '\0'));
  EXPECT_EQ(Read(), "");

  std::string longest(255, 'r');
  ASSERT_EQ(WriteRecord(manager, CBoundedString(longest.c_str())), 0);
  EXPECT_EQ(Read(), longest);

  // One character more cannot be read back: refused, the old record stays.
  std::string tooLong(256, 's');
  EXPECT_EQ(WriteRecord(manager, CBoundedString(tooLong.c_str())), -1);
  EXPECT_EQ(Read(), longest);
}

TEST_F(RecordFile, BadFilesReadAsNull) {
  const std::vector<std::string> bad = {
      "",
      "\x05\x00",
      Length(0),
      Length(-1),
      Length(257),
      Length(INT32_MAX),
      Length(INT32_MIN),
      Length(5) + std::string("abc", 3),
      Length(3) + std::string("abc", 3),  // no NUL at the end
      Length(256) + std::string(255, 'x'),
  };
  for (const std::string& bytes : bad) {
    WriteRaw(bytes);
    EXPECT_EQ(Read(), "<null>") << bytes.size() << " bytes";
  }
  // Trailing bytes after the record and a NUL inside it are the writer's business.
  WriteRaw(Length(4) + std::string("ab\0\0tail", 8));
  EXPECT_EQ(Read(), "ab");
  WriteRaw(Length(256) + std::string(255, 'x') + std::string(1, '\0'));
  EXPECT_EQ(Read(), std::string(255, 'x'));
  // A directory in the record's place is no record either.
  ASSERT_EQ(unlink(path.c_str()), 0);
  ASSERT_EQ(mkdir(path.c_str(), 0755), 0);
  EXPECT_EQ(Read(), "<null>");
  EXPECT_EQ(WriteRecord(manager, CBoundedString("x")), -1);
}

}  // namespace
