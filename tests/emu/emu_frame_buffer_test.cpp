// The emulated display: a plain file mapped shared, its geometry from its size.
#include "emu/emu_frame_buffer.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/temp_dir.h"

namespace {

TEST(EmuFrameBuffer, GeometryFromFileSize) {
  TempDir dir;
  struct Case {
    size_t bytes;
    uint32_t width, height;
  } cases[] = {{153600, 320, 240}, {261120, 480, 272}, {768000, 800, 480}, {153598, 0, 0}, {0, 0, 0}, {7, 0, 0}};
  for (const Case& c : cases) {
    std::string path = dir.Write("fb" + std::to_string(c.bytes), std::string(c.bytes, '\0'));
    CEmuFrameBuffer fb(path.c_str());
    EXPECT_EQ(c.width, fb.GetWidth()) << c.bytes;
    EXPECT_EQ(c.height, fb.GetHeight()) << c.bytes;
    EXPECT_EQ(c.width != 0, fb.GetBuffer() != nullptr) << c.bytes;
    EXPECT_EQ(c.width != 0 ? 16u : 0u, fb.GetBitsPerPixel()) << c.bytes;
    PaintPixel(fb, 0, 0, 0x1234);  // nothing through null
  }
}

TEST(EmuFrameBuffer, PixelsReachTheFile) {
  TempDir dir;
  std::string path = dir.Write("fb", std::string(153600, '\0'));
  {
    CEmuFrameBuffer fb(path.c_str());
    PaintPixel(fb, 0, 239, 0xF800);
    PaintPixel(fb, 319, 0, 0x001F);
  }
  std::string bytes = ReadWholeFile(path);
  ASSERT_EQ(153600u, bytes.size());
  EXPECT_EQ('\x00', bytes[0]);
  EXPECT_EQ('\xF8', bytes[1]);
  EXPECT_EQ('\x1F', bytes[153598]);
}

TEST(EmuFrameBuffer, MissingOrFolderIsUnmapped) {
  TempDir dir;
  for (const std::string& path : {dir.File("none"), dir.Path()}) {
    CEmuFrameBuffer fb(path.c_str());
    EXPECT_EQ(nullptr, fb.GetBuffer()) << path;
    EXPECT_EQ(0u, fb.GetWidth()) << path;
  }
}

}  // namespace
