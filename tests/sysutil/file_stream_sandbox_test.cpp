// Write failures, on the sandbox's /dev/full (every write finds the medium full).

#include <gtest/gtest.h>

#include <vector>

#include "sysutil/card_files.h"
#include "sysutil/file_manager.h"
#include "sysutil/file_stream.h"
#include "tests/support/sandbox_guard.h"

namespace {

TEST(FileStreamFull, ShortWritesAndFailedFlushesAreReported) {
  KESTREL_REQUIRE_SANDBOX();
  CFileStream s;
  ASSERT_EQ(s.OpenWrite(CBoundedString("/dev/full"), nullptr, 0), 0);
  EXPECT_EQ(s.Write("a", 1), 0) << "held in the library buffer";
  EXPECT_EQ(s.Flush(), 0);
  std::vector<char> block(1 << 16, 'x');
  EXPECT_EQ(s.Write(block.data(), static_cast<int32_t>(block.size())), CFileStream::kWriteFailed);
  EXPECT_EQ(s.IsOpen(), 1) << "the caller decides";
  s.Close();
  EXPECT_EQ(s.IsOpen(), 0);
}

TEST(FileStreamFull, RecordOnAFullCardIsNotReportedWritten) {
  KESTREL_REQUIRE_SANDBOX();
  CFileManager manager;
  manager.SetRecordPath(CBoundedString("/dev/full"));
  EXPECT_EQ(WriteRecord(manager, CBoundedString("short text")), CFileStream::kWriteFailed);
  EXPECT_EQ(manager.Registry().Count(), 0);
}

}  // namespace
