// The input reader on FIFOs at /dev/ts and /dev/remote in the sandbox's
// fresh /dev: the repeat filter, the key table, and the active process check.
#include "device/input_reader.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "device/device_seams.h"
#include "device/memory_frame_buffer.h"
#include "tests/support/sandbox_guard.h"

namespace {

class InputReaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    KESTREL_REQUIRE_SANDBOX();
    SetFrameBufferForTesting(&iDisplay);
    SetActivePidForTesting(static_cast<int32_t>(getpid()));
    ASSERT_EQ(0, mkfifo("/dev/ts", 0666));
    ASSERT_EQ(0, mkfifo("/dev/remote", 0666));
    device_reset::InputReader();  // the device's reader, not the test default
    iReader = GetInputReader();
    // The reader holds both ends open for reading, so these opens do not block.
    iTouch = open("/dev/ts", O_WRONLY);
    iRemote = open("/dev/remote", O_WRONLY);
    ASSERT_GE(iTouch, 0);
    ASSERT_GE(iRemote, 0);
  }
  void TearDown() override {
    if (iTouch >= 0) close(iTouch);
    if (iRemote >= 0) close(iRemote);
    ResetDeviceForTesting();
    unlink("/dev/ts");
    unlink("/dev/remote");
  }
  void Touch(int16_t pressure, int16_t x, int16_t y) {
    uint8_t r[8] = {static_cast<uint8_t>(pressure), static_cast<uint8_t>(pressure >> 8),
                    static_cast<uint8_t>(x), static_cast<uint8_t>(x >> 8),
                    static_cast<uint8_t>(y), static_cast<uint8_t>(y >> 8), 0xAA, 0x55};
    ASSERT_EQ(8, write(iTouch, r, 8));
  }
  void Key(uint8_t raw) {
    uint8_t r[8] = {1, 2, 3, 4, 5, raw, 7, 8};
    ASSERT_EQ(8, write(iRemote, r, 8));
  }
  // "p x y" of the delivered sample, or "-" when none.
  std::string Read() {
    InputEvent e{0, 0, 0};
    if (!iReader->ReadTouch(e)) return "-";
    return std::to_string(e.pressure) + " " + std::to_string(e.x) + " " + std::to_string(e.y);
  }

  CMemoryFrameBuffer iDisplay{320, 240};
  MInputReader* iReader = nullptr;
  int iTouch = -1;
  int iRemote = -1;
};

TEST_F(InputReaderTest, RepeatFilter) {
  struct Step {
    int16_t pressure, x, y;
    const char* delivered;
  } steps[] = {
      {0, 3, 4, "-"},                // the reference starts as an all-zero record
      {0, 5, 0, "0 5 0"},
      {100, 5, 0, "100 5 0"},        // a pressure change at the same place
      {100, 9, 4, "-"},              // 4 pixels in x and y
      {100, 1, -4, "-"},
      {100, 10, 0, "100 10 0"},      // 5 pixels
      {100, 10, 5, "100 10 5"},
      {100, 13, 5, "-"},             // a drift of 3 per sample: every second one
      {100, 16, 5, "100 16 5"},
      {100, 19, 5, "-"},
      {100, 22, 5, "100 22 5"},
      {0, 22, 5, "0 22 5"},          // release where the pen was
      {-1, -300, 32767, "-1 -300 32767"},  // fields are signed
  };
  for (const Step& s : steps) {
    Touch(s.pressure, s.x, s.y);
    EXPECT_EQ(s.delivered, Read()) << s.pressure << " " << s.x << " " << s.y;
  }
  EXPECT_EQ("-", Read()) << "nothing waiting";
  // A short record is nothing to report.
  ASSERT_EQ(5, write(iTouch, "\1\0\1\0\1", 5));
  EXPECT_EQ("-", Read());
}

TEST_F(InputReaderTest, KeyTable) {
  const int32_t want[] = {0, 8, 5, 1, 4, 9, 7, 3, 2, 10, 6, 0, 0};
  const uint8_t raws[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 255};
  for (size_t i = 0; i < sizeof raws; ++i) {
    Key(raws[i]);
    int32_t key = -1;
    EXPECT_TRUE(iReader->ReadKey(key)) << int(raws[i]);
    EXPECT_EQ(want[i], key) << int(raws[i]);
  }
  int32_t key = -1;
  EXPECT_FALSE(iReader->ReadKey(key));
  EXPECT_EQ(0, key);
}

TEST_F(InputReaderTest, NothingIsReadWhileAnotherProcessIsActive) {
  SetActivePidForTesting(static_cast<int32_t>(getpid()) + 1);
  Touch(50, 100, 100);
  Key(3);
  int32_t key = -1;
  EXPECT_EQ("-", Read());
  EXPECT_FALSE(iReader->ReadKey(key));
  EXPECT_EQ(0, key);
  // The records wait on the devices for the active process.
  SetActivePidForTesting(static_cast<int32_t>(getpid()));
  EXPECT_EQ("50 100 100", Read());
  EXPECT_TRUE(iReader->ReadKey(key));
  EXPECT_EQ(1, key);
}

TEST_F(InputReaderTest, ReadOnlyTouchDeviceAndTheProcessWideLastRecord) {
  // A touch device this process may only read is opened read-only.
  ASSERT_EQ(0, mkfifo("/dev/ts2", 0666));
  int holder = open("/dev/ts2", O_RDONLY | O_NONBLOCK);
  int writer = open("/dev/ts2", O_WRONLY);
  ASSERT_GE(holder, 0);
  ASSERT_GE(writer, 0);
  ASSERT_EQ(0, chmod("/dev/ts2", 0444));
  Touch(70, 50, 50);
  EXPECT_EQ("70 50 50", Read());
  {
    CNoxInputReader second("/dev/ts2", "/dev/none-remote");
    uint8_t same[8] = {70, 0, 52, 0, 48, 0, 0, 0};
    uint8_t moved[8] = {70, 0, 60, 0, 48, 0, 0, 0};
    ASSERT_EQ(8, write(writer, same, 8));
    ASSERT_EQ(8, write(writer, moved, 8));
    InputEvent e{0, 0, 0};
    EXPECT_FALSE(second.ReadTouch(e)) << "a repeat of what the first reader delivered";
    EXPECT_TRUE(second.ReadTouch(e));
    EXPECT_EQ(60, e.x);
  }
  close(writer);
  close(holder);
  unlink("/dev/ts2");
  // The reference moved for every reader of the process.
  Touch(70, 62, 48);
  EXPECT_EQ("-", Read());
}

TEST_F(InputReaderTest, MissingDevicesGiveNoInput) {
  ResetDeviceForTesting();
  SetActivePidForTesting(static_cast<int32_t>(getpid()));
  CNoxInputReader reader("/dev/none-ts", "/dev/none-remote");
  InputEvent e{0, 0, 0};
  int32_t key = -1;
  EXPECT_FALSE(reader.ReadTouch(e));
  EXPECT_FALSE(reader.ReadKey(key));
}

TEST_F(InputReaderTest, SeamReplacesTheReader) {
  struct Scripted : MInputReader {
    bool ReadTouch(InputEvent&) override { return false; }
    bool ReadKey(int32_t& key) override { return key = 6, true; }
  } scripted;
  Key(3);  // waits on the device
  SetInputReaderForTesting(&scripted);
  int32_t key = -1;
  ASSERT_EQ(&scripted, GetInputReader());
  EXPECT_TRUE(GetInputReader()->ReadKey(key));
  EXPECT_EQ(6, key) << "the stand-in answers, not the device";
  // Reset forgets the stand-in: a device reader finds the key still waiting.
  ResetDeviceForTesting();
  SetActivePidForTesting(static_cast<int32_t>(getpid()));
  MInputReader* device = GetInputReader();
  EXPECT_NE(&scripted, device);
  EXPECT_TRUE(device->ReadKey(key));
  EXPECT_EQ(1, key);
}

}  // namespace
