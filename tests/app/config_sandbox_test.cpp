// The name filters read from the card's configuration file.
#include "app/config.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/globals.h"
#include "tests/support/sandbox_guard.h"

namespace {

class ConfigTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetGlobalsForTesting();
    mkdir("/mnt/sdcard", 0755);
    mkdir("/mnt/sdcard/kestrel", 0755);
  }
  void TearDown() override {
    unlink(kConfigPath);
    ResetGlobalsForTesting();
  }
  static void WriteConfig(const std::string& content) {
    FILE* f = std::fopen(kConfigPath, "wb");
    ASSERT_NE(nullptr, f);
    std::fwrite(content.data(), 1, content.size(), f);
    std::fclose(f);
  }
  static std::vector<std::string> Filters() {
    std::vector<std::string> out;
    for (uint32_t i = 0; i < name_filters.Size(); ++i) out.emplace_back(name_filters.Text(i), name_filters.Length(i));
    return out;
  }
};

using L = std::vector<std::string>;

TEST_F(ConfigTest, FiltersFromTheFile) {
  KESTREL_REQUIRE_SANDBOX();
  struct Case {
    std::string content;
    L filters;
  } cases[] = {
      {"abc\n", {"abc", ""}},
      {"abc", {"abc"}},
      {"abc\r\ntxt\r\n", {"abc", "txt", ""}},
      {"a\rb", {"a\r"}},
      {"", {""}},
      // Past the cap the file is read as if it ended there.
      {std::string(kMaxConfigBytes - 1, 'x') + "\nyz", {std::string(kMaxConfigBytes - 1, 'x'), ""}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.content.substr(0, 20));
    name_filters.Append("stale");
    WriteConfig(c.content);
    ReadConfig();
    EXPECT_EQ(c.filters, Filters());
  }
}

TEST_F(ConfigTest, MissingFileOrDirectoryLeavesTheFilters) {
  KESTREL_REQUIRE_SANDBOX();
  name_filters.Append("kept");
  ReadConfig();
  EXPECT_EQ((L{"kept"}), Filters());
  ASSERT_EQ(0, mkdir(kConfigPath, 0755));
  ReadConfig();
  EXPECT_EQ((L{"kept"}), Filters());
  rmdir(kConfigPath);
}

// A device or a FIFO in the file's place is refused at once, never read or
// waited on: the filters stay as they were, as for a missing file.
TEST_F(ConfigTest, ADeviceOrAFifoIsRefused) {
  KESTREL_REQUIRE_SANDBOX();
  name_filters.Append("kept");
  ASSERT_EQ(0, symlink("/dev/zero", kConfigPath));
  ReadConfig();
  EXPECT_EQ((L{"kept"}), Filters());
  ASSERT_EQ(0, unlink(kConfigPath));
  ASSERT_EQ(0, mkfifo(kConfigPath, 0600));
  ReadConfig();
  EXPECT_EQ((L{"kept"}), Filters());
  unlink(kConfigPath);
}

}  // namespace
