#include "sysutil/regular_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "sysutil/file_stream.h"
#include "tests/support/temp_dir.h"

namespace {

// An open that blocks ends the test program instead of hanging it.
class RegularFileTest : public ::testing::Test {
 protected:
  void SetUp() override { alarm(10); }
  void TearDown() override { alarm(0); }
  TempDir dir;
};

TEST_F(RegularFileTest, OpensOnlyRegularFilesAndNeverWaits) {
  const std::string file = dir.Write("file", "abc");
  const std::string fifo = dir.File("fifo");
  ASSERT_EQ(0, mkfifo(fifo.c_str(), 0644));
  ASSERT_EQ(0, symlink(fifo.c_str(), dir.File("link-to-fifo").c_str()));
  ASSERT_EQ(0, symlink(file.c_str(), dir.File("link-to-file").c_str()));
  ASSERT_EQ(0, mkdir(dir.File("folder").c_str(), 0755));
  const struct {
    std::string path;
    int result;  // 0: a descriptor
  } cases[] = {
      {file, 0},
      {dir.File("link-to-file"), 0},
      {fifo, kNotRegularFile},
      {dir.File("link-to-fifo"), kNotRegularFile},
      {dir.File("folder"), kNotRegularFile},
      {dir.File("missing"), kOpenFailed},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    const int fd = OpenRegularFile(c.path.c_str());
    if (c.result != 0) {
      EXPECT_EQ(c.result, fd);
      continue;
    }
    ASSERT_GE(fd, 0);
    const int flags = fcntl(fd, F_GETFL);
    EXPECT_EQ(0, flags & O_NONBLOCK) << "readers get plain blocking reads";
    EXPECT_NE(0, fcntl(fd, F_GETFD) & FD_CLOEXEC);
    char bytes[4] = {};
    EXPECT_EQ(3, read(fd, bytes, sizeof bytes));
    EXPECT_STREQ("abc", bytes);
    close(fd);
  }
  EXPECT_EQ(kOpenFailed, OpenRegularFile(nullptr));
}

TEST_F(RegularFileTest, StreamRefusesAFifoSwappedInForItsFile) {
  const std::string path = dir.Write("lines", "one\n");
  CFileStream stream;
  const CPathBuffer name(path.c_str());
  ASSERT_EQ(0, stream.OpenRead(name, nullptr));
  char line[8];
  EXPECT_EQ(4, stream.ReadLine(line, sizeof line));
  stream.Close();
  ASSERT_EQ(0, unlink(path.c_str()));
  ASSERT_EQ(0, mkfifo(path.c_str(), 0644));
  EXPECT_EQ(-1, stream.OpenRead(name, nullptr));
  EXPECT_EQ(0, stream.IsOpen());
}

}  // namespace
