#include "gfx/courier_font.h"

#include <gtest/gtest.h>

#include "device/memory_frame_buffer.h"

namespace {

TEST(CourierFont, MeasuresScaleTheCell) {
  CCourierFont* font = GetFixedFont(2);
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(font->GetTextWidth("AB"), 22u);
  EXPECT_EQ(font->GetTextHeight("AB"), 16u);
  EXPECT_EQ(font->GetTextHeight(""), 16u);
  EXPECT_EQ(font->GetCharWidth('A'), 10u);
  const WideChar wide[] = {'A', 0x4E2D, 0};
  EXPECT_EQ(font->GetTextWidth(wide), 22u);
  EXPECT_EQ(font->GetMetric(0), 16);
  EXPECT_EQ(font->GetMetric(1), 12);
  EXPECT_EQ(font->GetMetric(2), 16);
  EXPECT_EQ(font->GetMetric(3), 0);

  // Scale 0: every measure is 0 except the one pixel between characters.
  CCourierFont* zero = GetFixedFont(0);
  ASSERT_NE(zero, nullptr);
  EXPECT_EQ(zero->GetTextHeight("AB"), 0u);
  EXPECT_EQ(zero->GetCharWidth('A'), 0u);
  EXPECT_EQ(zero->GetMetric(1), 2);
  EXPECT_EQ(zero->GetTextWidth("AB"), 2u);
  CMemoryFrameBuffer fb(10, 10);
  EXPECT_TRUE(zero->DrawText(fb, "AB", 0, 0, 0xFFFF));
  EXPECT_EQ(fb.Bytes(), CMemoryFrameBuffer(10, 10).Bytes());
}

TEST(CourierFont, OneFontPerScale) {
  EXPECT_EQ(GetFixedFont(3), GetFixedFont(3));
  EXPECT_NE(GetFixedFont(3), GetFixedFont(4));
  EXPECT_EQ(GetFixedFont(23)->Scale(), 23u);
  EXPECT_EQ(GetFixedFont(24), nullptr);
}

TEST(CourierFont, DrawsExactlyTheTablePixels) {
  CMemoryFrameBuffer fb(30, 30);
  EXPECT_TRUE(GetFixedFont(2)->DrawChar(fb, 'A', 3, 4, 0xF800));
  const uint8_t columns[5] = {0x7E, 0x11, 0x11, 0x11, 0x7E};
  int lit = 0;
  for (int32_t x = 0; x < 30; ++x)
    for (int32_t y = 0; y < 30; ++y) {
      const int32_t cx = x - 3, cy = y - 4;
      const bool inCell = cx >= 0 && cx < 10 && cy >= 0 && cy < 16;
      const bool set = inCell && (columns[cx / 2] >> (cy / 2) & 1);
      lit += set;
      EXPECT_EQ(fb.PixelAt(x, y), set ? 0xF800 : 0) << x << "," << y;
    }
  EXPECT_EQ(lit, 4 * (6 + 2 + 2 + 2 + 6));
}

TEST(CourierFont, CellsMustFitAndUnknownCodesAreBlank) {
  CCourierFont* font = GetFixedFont(1);
  CMemoryFrameBuffer fb(20, 10);
  // x = width - 5 touches the edge: not drawn.
  EXPECT_FALSE(font->DrawChar(fb, 'I', 15, 0, 0xFFFF));
  EXPECT_FALSE(font->DrawChar(fb, 'I', 0, 2, 0xFFFF));
  EXPECT_FALSE(font->DrawChar(fb, 'I', static_cast<uint32_t>(-1), 0, 0xFFFF));
  EXPECT_EQ(fb.Bytes(), CMemoryFrameBuffer(20, 10).Bytes());
  // A cell larger than the whole target never fits.
  EXPECT_FALSE(GetFixedFont(5)->DrawChar(fb, 'I', 0, 0, 0xFFFF));
  EXPECT_EQ(fb.Bytes(), CMemoryFrameBuffer(20, 10).Bytes());

  // Codes 200 and 10 are blank cells that still advance; the text stops at
  // the first cell that does not fit.
  EXPECT_FALSE(font->DrawText(fb, "\xC8\nIII", 0, 0, 0xFFFF));
  for (int32_t x = 0; x < 20; ++x) {
    // Cells at 0, 6, 12; 'I' is 00 41 7F 41 00, its stem in column 2.
    EXPECT_EQ(fb.PixelAt(x, 3), x == 14 ? 0xFFFF : 0) << x;
  }
}

}  // namespace
