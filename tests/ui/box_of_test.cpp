#include <gtest/gtest.h>

#include "gfx/bitmapped_font.h"
#include "device/memory_frame_buffer.h"
#include "ui/painting.h"

namespace {

// Painting into a box of the screen gives exactly the pixels that painting
// the same things onto the whole screen gives inside the box, and nothing
// outside it: fills, lines and text alike, at every edge.
TEST(BoxOf, PaintsTheWholeGridsPixelsInsideTheBoxOnly) {
  struct Case {
    int32_t x, y, width, height;
  };
  const Case cases[] = {{0, 0, 320, 240}, {20, 30, 100, 18}, {-10, -5, 40, 40}, {300, 230, 50, 50}, {5, 5, 0, 10}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << "," << c.y << " " << c.width << "x" << c.height);
    CMemoryFrameBuffer whole(320, 240), expected(320, 240);
    whole.Fill(0x1111);
    expected.Fill(0x1111);
    CBoxOf box(whole, c.x, c.y, c.width, c.height);
    const int32_t ox = box.OriginX(), oy = box.OriginY();
    auto paint = [](MFrameBuffer& fb, int32_t dx, int32_t dy) {
      FillBox(fb, dx - 3, dy + 2, dx + 60, dy + 9, 0x2222, 4);
      DrawLine(fb, dx - 5, dy - 5, dx + 90, dy + 40, 0x3333);
      // A glyph bitmap, as outline fonts paint it, over the box's corner.
      static const uint8_t bits[2 * 12] = {0xFF, 0xF0, 0x81, 0x10, 0xFF, 0xF0, 0x81, 0x10, 0xFF, 0xF0, 0x81,
                                           0x10, 0xFF, 0xF0, 0x81, 0x10, 0xFF, 0xF0, 0x81, 0x10, 0xFF, 0xF0};
      PaintMonoBitmap(fb, bits, 12, 11, 2, dx - 4, dy - 3, 0x4444);
    };
    paint(box, 0, 0);
    paint(expected, ox, oy);
    for (int32_t x = 0; x < 320; ++x)
      for (int32_t y = 0; y < 240; ++y) {
        const bool in = x >= ox && y >= oy && x < ox + static_cast<int32_t>(box.GetWidth()) &&
                        y < oy + static_cast<int32_t>(box.GetHeight());
        ASSERT_EQ(in ? expected.PixelAt(x, y) : Color{0x1111}, whole.PixelAt(x, y)) << x << "," << y;
      }
  }
}

}  // namespace
