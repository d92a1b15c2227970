#include "sysutil/file_stream.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

namespace {

CPathBuffer PathOf(const std::string& p) { return CPathBuffer(p.c_str()); }

void AppendTo(const std::string& path, const std::string& text) {
  FILE* f = fopen(path.c_str(), "ab");
  ASSERT_NE(f, nullptr);
  fwrite(text.data(), 1, text.size(), f);
  fclose(f);
}

TEST(FileStream, FreshAndFailedStreamsAreClosedAndHarmless) {
  TempDir dir;
  CFileStream s;
  EXPECT_EQ(s.OpenRead(PathOf(dir.File("missing")), nullptr), -1);
  EXPECT_EQ(s.IsOpen(), 0);
  s.Close();
  s.Close();
  char buffer[8];
  EXPECT_EQ(s.Read(buffer, 8), 0);
  EXPECT_EQ(s.ReadLine(buffer, 8), -1);
  EXPECT_EQ(s.Write("x", 1), CFileStream::kWriteFailed);
  EXPECT_EQ(s.Write("x", 0), 0);
  EXPECT_EQ(s.Tell(), CFileStream::kPositionFailed);
  EXPECT_EQ(s.Size(), CFileStream::kPositionFailed);
  EXPECT_NE(s.Seek(0), 0);
  EXPECT_EQ(s.Flush(), 0);
}

TEST(FileStream, AppendModeNeedsAnExistingFileAndWritesAtItsEnd) {
  TempDir dir;
  std::string path = dir.File("log");
  CFileStream s;
  EXPECT_EQ(s.OpenWrite(PathOf(path), nullptr, 1), -1);
  EXPECT_EQ(access(path.c_str(), F_OK), -1) << "update mode must not create the file";

  dir.Write("log", "abc");
  ASSERT_EQ(s.OpenWrite(PathOf(path), nullptr, 1), 0);
  EXPECT_EQ(s.Tell(), 3);
  EXPECT_EQ(s.WriteLine("de"), 0);
  EXPECT_EQ(s.Write("", 0), 0);
  s.Close();
  s.Close();
  EXPECT_EQ(ReadWholeFile(path), "abcde\n");

  ASSERT_EQ(s.OpenWrite(PathOf(path), nullptr, 0), 0);  // truncates
  s.Close();
  EXPECT_EQ(ReadWholeFile(path), "");
}

TEST(FileStream, SizeIsCachedForReadingAndComputedForWriting) {
  TempDir dir;
  std::string path = dir.Write("f", "12345");
  CFileStream reader;
  ASSERT_EQ(reader.OpenRead(PathOf(path), nullptr), 0);
  char c;
  ASSERT_EQ(reader.Read(&c, 1), 1);
  EXPECT_EQ(reader.Size(), 5);
  EXPECT_EQ(reader.Tell(), 1) << "Size keeps the position";
  AppendTo(path, "678");
  EXPECT_EQ(reader.Size(), 5);

  CFileStream writer;
  ASSERT_EQ(writer.OpenWrite(PathOf(dir.File("w")), nullptr, 0), 0);
  EXPECT_EQ(writer.Size(), 0);
  ASSERT_EQ(writer.Write("abcd", 4), 0);
  EXPECT_EQ(writer.Size(), 4);
  ASSERT_EQ(writer.Seek(1), 0);
  EXPECT_EQ(writer.Size(), 4);
  EXPECT_EQ(writer.Tell(), 1);
}

TEST(FileStream, SizeBeyond32BitsIsAFailureNotAWrappedValue) {
  TempDir dir;
  std::string path = dir.Write("big", "");
  ASSERT_EQ(truncate(path.c_str(), 5LL << 30), 0);
  CFileStream s;
  ASSERT_EQ(s.OpenRead(PathOf(path), nullptr), 0);
  EXPECT_EQ(s.Size(), CFileStream::kPositionFailed);
  EXPECT_EQ(s.Tell(), 0) << "position restored";
}

TEST(FileStream, ReadLineSplitsLongLinesAndCountsNulBytes) {
  TempDir dir;
  const char raw[] = "abcdefgh\nxy\n\na\0b\nz";
  std::string content(raw, sizeof(raw) - 1);
  std::string path = dir.Write("lines", content);
  CFileStream s;
  ASSERT_EQ(s.OpenRead(PathOf(path), nullptr), 0);
  struct Expected {
    int32_t size;
    int32_t result;
    std::string bytes;
  };
  const std::vector<Expected> table = {
      {4, 3, "abc"},  {4, 3, "def"}, {4, 3, "gh\n"},  {16, 3, "xy\n"},
      {16, 1, "\n"},  {1, -1, ""},   {16, 4, std::string("a\0b\n", 4)},
      {16, 1, "z"},   {16, -1, ""},  {16, -1, ""},
  };
  for (const Expected& e : table) {
    char buffer[16];
    std::memset(buffer, 'Q', sizeof(buffer));
    int32_t n = s.ReadLine(buffer, e.size);
    ASSERT_EQ(n, e.result) << e.bytes;
    if (n > 0) {
      EXPECT_EQ(std::string(buffer, n), e.bytes);
      EXPECT_EQ(buffer[n], '\0');
    } else {
      EXPECT_EQ(buffer[0], '\0');
    }
  }
}

TEST(FileStream, OverlongPathIsRefused) {
  std::string longPath = "/tmp/" + std::string(300, 'a');
  CBoundedString view(longPath.c_str());
  CFileStream s;
  EXPECT_EQ(s.OpenWrite(view, nullptr, 0), -1);
  EXPECT_EQ(s.IsOpen(), 0);
}

// --- registry ----------------------------------------------------------------

class Registry : public testing::Test {
 protected:
  void SetUp() override { previous = COpenFileRegistry::SetRestartHook(&CountRestart); restarts = 0; }
  void TearDown() override { COpenFileRegistry::SetRestartHook(previous); }
  static void CountRestart() { ++restarts; }

  static int restarts;
  COpenFileRegistry::RestartHook previous = nullptr;
  TempDir dir;
  COpenFileRegistry registry;
};
int Registry::restarts = 0;

TEST_F(Registry, RecordsUpTo24StreamsAndRefusesThe25th) {
  std::string path = dir.Write("f", "x");
  std::vector<std::unique_ptr<CFileStream>> streams;
  for (int i = 0; i < COpenFileRegistry::kMaxEntries; ++i) {
    streams.push_back(std::make_unique<CFileStream>());
    ASSERT_EQ(streams.back()->OpenRead(PathOf(path), &registry), 0);
    EXPECT_EQ(streams.back()->RegistrySlot(), i);
  }
  CFileStream extra;
  ASSERT_EQ(extra.OpenRead(PathOf(path), &registry), 0);
  EXPECT_EQ(extra.IsOpen(), 1);
  EXPECT_EQ(extra.RegistrySlot(), -1);
  EXPECT_EQ(registry.Find(&extra), -1);
  EXPECT_EQ(registry.Count(), 24);

  // Removing an entry moves the last one into its place.
  streams[3]->Close();
  EXPECT_EQ(registry.Count(), 23);
  EXPECT_EQ(registry.Find(streams[3].get()), -1);
  EXPECT_EQ(registry.Find(streams[23].get()), 3);
  EXPECT_EQ(streams[23]->RegistrySlot(), 3);
  extra.Close();
  EXPECT_EQ(registry.Count(), 23);
}

TEST_F(Registry, SuspendAndResumeKeepPositions) {
  std::string readPath = dir.Write("r", "0123456789");
  std::string writePath = dir.Write("w", "ab");
  CFileStream reader, writer;
  ASSERT_EQ(reader.OpenRead(PathOf(readPath), &registry), 0);
  ASSERT_EQ(writer.OpenWrite(PathOf(writePath), &registry, 0), 0);
  char buffer[4];
  ASSERT_EQ(reader.Read(buffer, 3), 3);
  ASSERT_EQ(writer.Write("xy", 2), 0);

  registry.Suspend();
  registry.Suspend();
  EXPECT_EQ(reader.IsOpen(), 0);
  EXPECT_EQ(writer.IsOpen(), 0);
  EXPECT_EQ(registry.Count(), 2);
  EXPECT_EQ(ReadWholeFile(writePath), "xy") << "written data reached the file";

  CFileStream late;  // opened while the card is away: not recorded
  ASSERT_EQ(late.OpenRead(PathOf(readPath), &registry), 0);
  EXPECT_EQ(late.RegistrySlot(), -1);
  EXPECT_EQ(late.Registry(), nullptr);

  EXPECT_EQ(registry.Resume(), 0);  // inner level only
  EXPECT_EQ(reader.IsOpen(), 0);
  EXPECT_EQ(registry.SuspendDepth(), 1);

  testing::internal::CaptureStdout();
  EXPECT_EQ(registry.Resume(), 0);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(registry.Resume(), 0);  // not suspended: nothing to do
  EXPECT_EQ(restarts, 0);
  ASSERT_EQ(reader.IsOpen(), 1);
  ASSERT_EQ(writer.IsOpen(), 1);
  EXPECT_EQ(reader.Registry(), &registry);
  EXPECT_EQ(reader.Tell(), 3);
  ASSERT_EQ(reader.Read(buffer, 2), 2);
  EXPECT_EQ(std::string(buffer, 2), "34");
  ASSERT_EQ(writer.Write("z", 1), 0);
  writer.Close();
  EXPECT_EQ(ReadWholeFile(writePath), "xyz");
  EXPECT_EQ(registry.Count(), 1);
}

TEST_F(Registry, FileChangedWhileSuspendedFailsResumeAndAsksForARestart) {
  std::string firstPath = dir.Write("first", "abcdef");
  std::string secondPath = dir.Write("second", "ghijkl");
  CFileStream first, second;
  ASSERT_EQ(first.OpenRead(PathOf(firstPath), &registry), 0);
  ASSERT_EQ(second.OpenRead(PathOf(secondPath), &registry), 0);
  registry.Suspend();
  AppendTo(firstPath, "more");

  testing::internal::CaptureStdout();
  EXPECT_EQ(registry.Resume(), COpenFileRegistry::kFileChanged);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "Rebooting some relevant files changed on the SD card, discovered when the SD card "
            "was remounted\n");
  EXPECT_EQ(restarts, 1);
  // The changed file is open again; the one after it was not reopened and
  // is no longer recorded.
  EXPECT_EQ(first.IsOpen(), 1);
  EXPECT_EQ(second.IsOpen(), 0);
  EXPECT_EQ(registry.Count(), 1);
  EXPECT_EQ(registry.Find(&second), -1);
  EXPECT_EQ(second.Registry(), nullptr);
}

TEST_F(Registry, VanishedFileFailsResume) {
  std::string path = dir.Write("gone", "abc");
  CFileStream s;
  ASSERT_EQ(s.OpenWrite(PathOf(path), &registry, 1), 0);
  registry.Suspend();
  ASSERT_EQ(unlink(path.c_str()), 0);
  testing::internal::CaptureStdout();
  EXPECT_EQ(registry.Resume(), -1);
  EXPECT_NE(testing::internal::GetCapturedStdout().find("Rebooting"), std::string::npos);
  EXPECT_EQ(registry.Count(), 0);
  EXPECT_EQ(access(path.c_str(), F_OK), -1) << "append mode does not recreate it";
}

TEST_F(Registry, StreamReopenedByItsOwnerWhileSuspendedStaysOnItsNewFile) {
  std::string oldPath = dir.Write("old", "old");
  std::string newPath = dir.Write("new", "new");
  CFileStream s;
  ASSERT_EQ(s.OpenRead(PathOf(oldPath), &registry), 0);
  registry.Suspend();
  ASSERT_EQ(s.OpenRead(PathOf(newPath), &registry), 0);
  EXPECT_EQ(registry.Resume(), 0);
  EXPECT_EQ(registry.Count(), 0);
  char buffer[3];
  ASSERT_EQ(s.Read(buffer, 3), 3);
  EXPECT_EQ(std::string(buffer, 3), "new");
}

TEST_F(Registry, StreamDestroyedWhileSuspendedLeavesNoEntry) {
  std::string path = dir.Write("f", "abc");
  {
    CFileStream s;
    ASSERT_EQ(s.OpenRead(PathOf(path), &registry), 0);
    registry.Suspend();
  }
  EXPECT_EQ(registry.Count(), 0);
  EXPECT_EQ(registry.Resume(), 0);
}

TEST_F(Registry, DestroyedRegistryDetachesItsStreams) {
  std::string path = dir.Write("f", "abc");
  CFileStream s;
  {
    COpenFileRegistry local;
    ASSERT_EQ(s.OpenRead(PathOf(path), &local), 0);
  }
  EXPECT_EQ(s.Registry(), nullptr);
  EXPECT_EQ(s.IsOpen(), 1);
  s.Close();
}

}  // namespace
