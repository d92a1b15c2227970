// The host tools' file reader: the whole file, or a reason naming it.
#include "emu/bounded_file.h"

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace {

TEST(BoundedFile, ReadsWholeFilesUpToTheirLimitOnly) {
  TempDir dir;
  const std::string bytes("P6\0\x01\xff", 5);
  const std::string file = dir.Write("dump.ppm", bytes);
  const struct {
    std::string path;
    uint64_t max;
    bool ok;
  } cases[] = {
      {file, 5, true},       {file, 4, false},                    // one byte past the limit
      {dir.Path(), 1 << 20, false},                               // a folder
      {dir.File("missing"), 1 << 20, false}, {"/dev/zero", 1 << 20, false},
  };
  for (const auto& c : cases) {
    std::string read, why;
    EXPECT_EQ(c.ok, ReadBoundedFile(c.path, c.max, read, why)) << c.path;
    if (c.ok) {
      EXPECT_EQ(bytes, read);
    } else {
      EXPECT_EQ(0u, why.rfind(c.path + ": ", 0)) << why;
    }
  }
}

}  // namespace
