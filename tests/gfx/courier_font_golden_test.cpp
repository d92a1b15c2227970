// The built-in fixed font's 95 printable glyphs as a reviewed picture: every
// code from 32 to 126 cell by cell at scale 2, and as two lines of text at
// scale 1.
#include <gtest/gtest.h>

#include <string>

#include "device/memory_frame_buffer.h"
#include "gfx/color_scheme.h"
#include "gfx/courier_font.h"
#include "tests/support/golden.h"

namespace {

TEST(CourierFontGolden, AllPrintableGlyphs) {
  CMemoryFrameBuffer screen(320, 240);
  CCourierFont* big = GetFixedFont(2);
  CCourierFont* small = GetFixedFont(1);
  ASSERT_NE(nullptr, big);
  ASSERT_NE(nullptr, small);
  // 5 rows of 19 cells, 16 pixels apart across and 22 down.
  for (uint32_t code = 32; code <= 126; ++code) {
    const uint32_t i = code - 32;
    EXPECT_TRUE(big->DrawChar(screen, code, 8 + (i % 19) * 16, 8 + (i / 19) * 22, colorWhite)) << code;
  }
  std::string all;
  for (char c = 32; c <= 126; ++c) all += c;
  EXPECT_TRUE(small->DrawText(screen, all.substr(0, 48).c_str(), 8, 130, colorYellow));
  EXPECT_TRUE(small->DrawText(screen, all.substr(48).c_str(), 8, 142, colorYellow));
  EXPECT_TRUE(MatchesGolden(screen, "courier_font_glyphs"));
}

}  // namespace
