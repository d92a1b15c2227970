#include "sysutil/file_manager.h"

#include <gtest/gtest.h>

#include <string>

#include "sysutil/card_files.h"
#include "tests/support/temp_dir.h"

namespace {

TEST(FileManager, HoldsTheRecordPathAndLetsItsStreamsGo) {
  TempDir dir;
  std::string path = dir.Write("f", "abc");
  CFileStream stream;
  {
    CFileManager manager;
    EXPECT_EQ(manager.RecordPath().Compare(KnownFilePath(kKnownFileRecord)), 0);
    ASSERT_EQ(stream.OpenRead(CPathBuffer(path.c_str()), &manager.Registry()), 0);
    EXPECT_EQ(manager.Registry().Count(), 1);
  }
  // The stream outlives its manager: still open, no longer recorded.
  EXPECT_EQ(stream.IsOpen(), 1);
  EXPECT_EQ(stream.Registry(), nullptr);
  stream.Close();
}

}  // namespace
