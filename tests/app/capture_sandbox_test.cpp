// Screen captures and the server link, on the sandbox's card and display.
#include "app/capture.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <string>

#include "app/server_link.h"
#include "tests/support/fake_clock.h"
#include "tests/support/sandbox_guard.h"
#include "tests/support/temp_dir.h"

namespace {

class CaptureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    KESTREL_REQUIRE_SANDBOX();
    std::system("rm -rf /mnt/sdcard /dev/fb");
    mkdir("/mnt/sdcard", 0755);
  }
  void TearDown() override {
    ResetCaptureForTesting();
    CloseServerLink();
    std::system("rm -rf /mnt/sdcard /dev/fb");
  }
  static void Write(const std::string& path, const std::string& content) {
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(nullptr, f) << path;
    std::fwrite(content.data(), 1, content.size(), f);
    std::fclose(f);
  }
  CFakeClock clock;  // 2026-12-11 22:40:30
};

TEST_F(CaptureTest, CopiesTheDisplayOnlyWhenEnabled) {
  mkdir("/mnt/sdcard/kestrel", 0755);
  Write("/dev/fb", std::string("\x01\x02\x00\xFF", 4));
  const std::string shot = "/mnt/sdcard/kestrel/img20261211224030.raw";

  EXPECT_EQ(ECaptureResult::kOff, CaptureScreen("kestrel"));
  EXPECT_EQ("<missing>", ReadWholeFile(shot)) << "captures start disabled";
  CaptureEnable("kestrel");
  EXPECT_FALSE(CaptureIsEnabled()) << "no capture file on the card";

  Write("/mnt/sdcard/kestrel/capture", "");
  CaptureEnable("kestrel");
  ASSERT_TRUE(CaptureIsEnabled());
  EXPECT_EQ(ECaptureResult::kRan, CaptureScreen("kestrel"));
  EXPECT_EQ(std::string("\x01\x02\x00\xFF", 4), ReadWholeFile(shot));
}

// A command that does not fit its 64 bytes, or a folder with characters the
// shell reads, would write some other file or run something else: each is
// refused while captures are on, and nothing runs (no file "b" appears in
// the working folder, none in the card's).
TEST_F(CaptureTest, RefusesCommandsThatWouldNameAnotherFile) {
  Write("/dev/fb", "x");
  ASSERT_EQ(0, chdir("/mnt/sdcard"));
  for (const std::string folder : {"sixteen-chars-xx", "a;touch b", "a|touch b", "$(touch b)", "a b", ".."}) {
    mkdir(("/mnt/sdcard/" + folder).c_str(), 0755);
    Write("/mnt/sdcard/" + folder + "/capture", "");
    CaptureEnable(folder.c_str());
    ASSERT_TRUE(CaptureIsEnabled()) << folder;
    EXPECT_EQ(ECaptureResult::kRefused, CaptureScreen(folder.c_str())) << folder;
    EXPECT_EQ("<missing>", ReadWholeFile("/mnt/sdcard/" + folder + "/img20261211224030.raw")) << folder;
    EXPECT_EQ("<missing>", ReadWholeFile("/mnt/sdcard/b")) << folder;
  }
  ASSERT_EQ(0, chdir("/"));
  // Fifteen characters still fit.
  const std::string fits = "fifteen-chars-x";
  mkdir(("/mnt/sdcard/" + fits).c_str(), 0755);
  Write("/mnt/sdcard/" + fits + "/capture", "");
  CaptureEnable(fits.c_str());
  EXPECT_EQ(ECaptureResult::kRan, CaptureScreen(fits.c_str()));
  EXPECT_EQ("x", ReadWholeFile("/mnt/sdcard/" + fits + "/img20261211224030.raw"));
}

TEST_F(CaptureTest, FileExistsOpensForReadingWithoutBlocking) {
  Write("/mnt/sdcard/f", "");
  mkfifo("/mnt/sdcard/fifo", 0644);
  EXPECT_TRUE(FileExists("/mnt/sdcard/f"));
  EXPECT_TRUE(FileExists("/mnt/sdcard/fifo")) << "a FIFO without a writer must not block";
  EXPECT_FALSE(FileExists("/mnt/sdcard/missing"));
}

TEST_F(CaptureTest, ServerLinkOpensOnceAndClosesSafely) {
  EXPECT_FALSE(ServerLinkIsOpen());
  CloseServerLink();
  ASSERT_TRUE(OpenServerLink());
  EXPECT_TRUE(OpenServerLink()) << "a second open keeps the link";
  EXPECT_TRUE(ServerLinkIsOpen());
  CloseServerLink();
  EXPECT_FALSE(ServerLinkIsOpen());
  CloseServerLink();
}

}  // namespace
