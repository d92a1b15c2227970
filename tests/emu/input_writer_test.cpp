// The emulated touch and remote drivers against the program's own input
// reader, through real FIFOs.
#include "emu/input_writer.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "device/input_reader.h"
#include "tests/support/temp_dir.h"

namespace {

TEST(InputWriter, RecordsHaveTheDriversLayout) {
  const std::array<uint8_t, 8> touch = TouchRecord(-2, 0x1234, -32768);
  EXPECT_EQ((std::array<uint8_t, 8>{0xFE, 0xFF, 0x34, 0x12, 0x00, 0x80, 0, 0}), touch);
  EXPECT_EQ((std::array<uint8_t, 8>{0, 0, 0, 0, 0, 9, 0, 0}), RemoteRecord(9));
}

TEST(InputWriter, EveryKeyCodeComesBackThroughTheRemotesTable) {
  for (int32_t code = 1; code <= 10; ++code) EXPECT_EQ(code, RemoteKeyCode(RawKeyNumber(code))) << code;
  for (int32_t code : {0, -1, 11, 255}) EXPECT_EQ(0, RawKeyNumber(code)) << code;
}

// The device's two FIFOs in a temporary folder, with the writer on them.
class InputFifos : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(0, mkfifo(ts.c_str(), 0600));
    ASSERT_EQ(0, mkfifo(remote.c_str(), 0600));
    ASSERT_TRUE(writer.Open(ts, remote));
  }
  TempDir dir;
  const std::string ts = dir.File("ts"), remote = dir.File("remote");
  CInputWriter writer;
};

TEST_F(InputFifos, TheProgramsReaderTakesEachRecordOnce) {
  CNoxInputReader reader(ts.c_str(), remote.c_str());
  EXPECT_EQ(0u, writer.Pending());

  ASSERT_TRUE(writer.Touch(kPenPressure, 300, 17));
  ASSERT_TRUE(writer.Touch(0, 300, 17));
  ASSERT_TRUE(writer.Key(6));
  EXPECT_FALSE(writer.Key(11));
  EXPECT_EQ(24u, writer.Pending());

  InputEvent e{0, 0, 0};
  ASSERT_TRUE(reader.ReadTouch(e));
  EXPECT_EQ(300, e.x);
  EXPECT_EQ(17, e.y);
  EXPECT_EQ(kPenPressure, e.pressure);
  int32_t key = 0;
  ASSERT_TRUE(reader.ReadKey(key));
  EXPECT_EQ(6, key);
  EXPECT_EQ(8u, writer.Pending());
  ASSERT_TRUE(reader.ReadTouch(e));
  EXPECT_EQ(0, e.pressure);
  EXPECT_EQ(0u, writer.Pending());
  EXPECT_FALSE(reader.ReadTouch(e));
  EXPECT_FALSE(reader.ReadKey(key));
}

TEST_F(InputFifos, AFullFifoRefusesARecordWhole) {
  size_t queued = 0;
  while (writer.Touch(kPenPressure, 1, 1) && queued < 1000000) queued += 8;
  EXPECT_GT(queued, 0u);
  EXPECT_EQ(queued, writer.Pending());  // never a part of a record
}

}  // namespace
