// The emulated display controller shows what the program drew, for each kind
// of model, from the memory that the program's own flush writes.
#include "emu/display_reader.h"

#include <gtest/gtest.h>

#include "device/memory_frame_buffer.h"
#include "device/virtual_screen.h"

namespace {

TEST(DisplayReader, ModelsAndTheirPanels) {
  const struct {
    int32_t model;
    uint32_t width, height;
    bool rowMajor;
  } cases[] = {{27, 320, 240, true},  {57, 320, 240, true},  {121, 320, 240, true}, {528, 320, 240, true},
               {144, 480, 272, true}, {400, 480, 272, true}, {7, 320, 240, false}, {0, 320, 240, false}};
  for (const auto& c : cases) {
    const DisplayModel m = ModelDisplay(c.model);
    EXPECT_EQ(c.width, m.width) << c.model;
    EXPECT_EQ(c.height, m.height) << c.model;
    EXPECT_EQ(c.rowMajor, m.rowMajor) << c.model;
    EXPECT_EQ(size_t{c.width} * c.height * 2, m.Bytes());
  }
}

TEST(DisplayReader, ShowsThePictureThatTheProgramFlushes) {
  for (int32_t model : {27, 144, 7}) {
    const DisplayModel m = ModelDisplay(model);
    CMemoryFrameBuffer device(m.width, m.height);
    CVirtualScreen shadow(&device, model);
    // A picture that no wrong layout reproduces: every pixel its own colour.
    for (uint32_t x = 0; x < m.width; ++x)
      for (uint32_t y = 0; y < m.height; ++y)
        PaintPixel(shadow, static_cast<int32_t>(x), static_cast<int32_t>(y), static_cast<Color>(x * 131 + y * 7));
    shadow.Flush(false);
    CRgbPicture picture;
    ReadDisplay(m, device.GetBuffer(), picture);
    ASSERT_EQ(m.width, picture.width);
    ASSERT_EQ(m.height, picture.height);
    long wrong = 0;
    for (uint32_t x = 0; x < m.width; ++x)
      for (uint32_t y = 0; y < m.height; ++y) {
        uint8_t expected[3];
        ExpandRgb565(static_cast<uint16_t>(x * 131 + y * 7), expected);
        if (std::memcmp(expected, picture.At(x, y), 3) != 0) ++wrong;
      }
    EXPECT_EQ(0, wrong) << "model " << model;
  }
}

TEST(DisplayReader, ChannelsExpandToTheirFullRange) {
  uint8_t rgb[3];
  ExpandRgb565(0xFFFF, rgb);
  EXPECT_EQ(255, rgb[0]);
  EXPECT_EQ(255, rgb[1]);
  EXPECT_EQ(255, rgb[2]);
  ExpandRgb565(0xF800, rgb);
  EXPECT_EQ(255, rgb[0]);
  EXPECT_EQ(0, rgb[1]);
  ExpandRgb565(0x0410, rgb);  // green 32 of 63, blue 16 of 31
  EXPECT_EQ(130, rgb[1]);
  EXPECT_EQ(132, rgb[2]);
}

}  // namespace
