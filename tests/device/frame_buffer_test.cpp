// The display: landscape geometry, the column layout, an unmappable display,
// and the accessor's seam.
#include "device/frame_buffer.h"

#include <gtest/gtest.h>

#include "device/device_seams.h"
#include "device/memory_frame_buffer.h"
#include "device/nox_frame_buffer.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_environment.h"

namespace {

TEST(FrameBuffer, LandscapeGeometry) {
  struct Case {
    uint32_t xres, yres, bpp;
    bool ok;
    uint32_t width, height;
    size_t bytes;
  } cases[] = {
      {320, 240, 16, true, 320, 240, 153600},
      {240, 320, 16, true, 320, 240, 153600},
      {200, 200, 16, true, 200, 200, 80000},
      {480, 272, 32, true, 480, 272, 522240},
      {320, 240, 24, true, 320, 240, 230400},
      // Unusable: a 16-bit store per pixel would not fit, or nothing to draw.
      {320, 240, 8, false, 0, 0, 0},
      {320, 240, 0, false, 0, 0, 0},
      {320, 240, 12, false, 0, 0, 0},
      {0, 240, 16, false, 0, 0, 0},
      // Byte offsets are 32-bit: a size past them is refused, not wrapped.
      {65536, 65536, 32, false, 0, 0, 0},
  };
  for (const Case& c : cases) {
    DisplayGeometry g;
    g.width = 9;
    EXPECT_EQ(c.ok, LandscapeGeometry(c.xres, c.yres, c.bpp, g)) << c.xres << "x" << c.yres << "@" << c.bpp;
    EXPECT_EQ(c.width, g.width);
    EXPECT_EQ(c.height, g.height);
    EXPECT_EQ(c.bytes, g.bytes);
  }
}

TEST(FrameBuffer, ColumnLayoutOffsets) {
  CMemoryFrameBuffer fb(320, 240);
  EXPECT_EQ(0, fb.GetPixelOffset(0, 239));
  EXPECT_EQ(478, fb.GetPixelOffset(0, 0));
  EXPECT_EQ(480, fb.GetPixelOffset(1, 239));
  EXPECT_EQ(153598, fb.GetPixelOffset(319, 0));
  // A deeper display spaces the same 16-bit stores further apart.
  CMemoryFrameBuffer deep(320, 240, 32);
  PaintPixel(deep, 1, 239, 0xF800);
  EXPECT_EQ(0xF800, deep.PixelAt(1, 239));
  EXPECT_EQ(0x00, deep.Bytes()[960]);
  EXPECT_EQ(0xF8, deep.Bytes()[961]);
}

TEST(FrameBuffer, UnmappableDisplayHasNoGeometryAndNoBuffer) {
  TempDir dir;
  std::string regular = dir.Write("fb", std::string(153600, '\0'));
  for (const std::string& path : {dir.File("missing"), regular, std::string("/dev/null")}) {
    CNoxFrameBufferImpl fb(path.c_str());
    EXPECT_EQ(nullptr, fb.GetBuffer()) << path;
    EXPECT_EQ(0u, fb.GetWidth()) << path;
    EXPECT_EQ(0u, fb.GetHeight()) << path;
    EXPECT_EQ(0u, fb.GetBitsPerPixel()) << path;
    // Every clip test fails, so painting writes nothing through null.
    PaintPixel(fb, 0, 0, 0xFFFF);
    PaintPixel(fb, -1, -1, 0xFFFF);
  }
}

TEST(FrameBuffer, SeamReplacesTheDisplay) {
  EXPECT_EQ(&TestDisplay(), GetFrameBuffer()) << "every test starts on the tests' display";
  CMemoryFrameBuffer fb(17, 5);
  SetFrameBufferForTesting(&fb);
  EXPECT_EQ(&fb, GetFrameBuffer());
  InstallTestDefaults();
  EXPECT_EQ(&TestDisplay(), GetFrameBuffer());
}

}  // namespace
