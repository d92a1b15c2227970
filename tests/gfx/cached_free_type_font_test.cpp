#include "gfx/cached_free_type_font.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "device/memory_frame_buffer.h"
#include "tests/gfx/free_type_reference.h"
#include "tests/support/temp_dir.h"

namespace {

std::unique_ptr<CCachedFreeTypeFont> Cached(const char* path, int32_t size) {
  MFont* font = CreateCachedFont(path, size);
  return std::unique_ptr<CCachedFreeTypeFont>(dynamic_cast<CCachedFreeTypeFont*>(font));
}

TEST(CachedFreeTypeFont, CachesTheRenderedGlyph) {
  auto font = Cached(kDejaVuSans, 16);
  ASSERT_NE(font, nullptr);
  EXPECT_FALSE(font->IsOutlineOpen());  // nothing read until a glyph is needed

  ReferenceFace ref(kDejaVuSans, 16);
  const uint32_t advance = static_cast<uint32_t>(ref.Advance('A'));
  FT_GlyphSlot g = ref.Render('A');
  const Glyph& glyph = font->FindGlyph('A');
  EXPECT_TRUE(font->IsOutlineOpen());
  EXPECT_EQ(glyph.code, uint32_t{'A'});
  EXPECT_EQ(glyph.width, g->bitmap.width);
  EXPECT_EQ(glyph.rows, g->bitmap.rows);
  EXPECT_EQ(glyph.pitch, static_cast<uint32_t>(g->bitmap.pitch));
  EXPECT_EQ(glyph.left, g->bitmap_left);
  EXPECT_EQ(glyph.top, g->bitmap_top);
  EXPECT_EQ(glyph.advance, advance);
  ASSERT_NE(glyph.bits, nullptr);
  EXPECT_EQ(0, memcmp(glyph.bits, g->bitmap.buffer, glyph.rows * glyph.pitch));
  EXPECT_EQ(font->GetMetric(2), ref.Scaled(ref.face->ascender, true));
}

TEST(CachedFreeTypeFont, DejaVuSans12MatchesThePinnedMeasures) {
  auto font = Cached(kDejaVuSans, 12);
  ASSERT_NE(font, nullptr);
  for (const PinnedGlyph& p : kDejaVuSans12) {
    SCOPED_TRACE(static_cast<char>(p.code));
    const Glyph& glyph = font->FindGlyph(p.code);
    EXPECT_EQ(glyph.code, p.code);
    EXPECT_EQ(glyph.advance, p.advance);
    EXPECT_EQ(glyph.width, p.width);
    EXPECT_EQ(glyph.rows, p.rows);
    EXPECT_EQ(glyph.left, p.left);
    EXPECT_EQ(glyph.top, p.top);
    EXPECT_EQ(font->GetCharHeight(p.code), p.height);
  }
  EXPECT_EQ(font->GetMetric(MFont::kLineHeight), kDejaVuSans12LineHeight);
  EXPECT_EQ(font->GetMetric(MFont::kAscender), kDejaVuSans12Ascender);
}

TEST(CachedFreeTypeFont, SpaceJoinsTheMissingCodesWithTheDefaultAdvance) {
  auto font = Cached(kDejaVuSans, 16);
  ReferenceFace ref(kDejaVuSans, 16);
  const uint32_t half = static_cast<uint32_t>(ref.Advance('M')) / 2;
  const uint32_t expected = half > 4 ? half - 2 : half;
  EXPECT_EQ(font->GetCharWidth(' '), expected);
  EXPECT_TRUE(font->IsMissing(' '));
  EXPECT_EQ(font->GetTextWidth("A A"), 2 * static_cast<uint32_t>(ref.Advance('A')) + expected);
  CMemoryFrameBuffer fb(40, 20);
  EXPECT_TRUE(font->DrawText(fb, " ", 0, 0, 0xFFFF));
  EXPECT_EQ(fb.Bytes(), CMemoryFrameBuffer(40, 20).Bytes());
}

TEST(CachedFreeTypeFont, SharedSlotCodesEvictEachOther) {
  auto font = Cached(kDejaVuSans, 16);
  font->FindGlyph(65);
  EXPECT_EQ(font->Slot(65).code, 65u);
  EXPECT_EQ(font->FindGlyph(265).code, 265u);  // c with circumflex, same slot
  EXPECT_EQ(font->Slot(65).code, 265u);
  EXPECT_EQ(font->FindGlyph(65).code, 65u);
  EXPECT_FALSE(font->IsMissing(65));
  EXPECT_FALSE(font->IsMissing(265));
}

TEST(CachedFreeTypeFont, OutlineClosesAfterTheRunOfHitsAndReopensOnAMiss) {
  auto font = Cached(kDejaVuSans, 16);
  const uint32_t width = font->GetCharWidth('A');  // a load: the outline opens
  for (int i = 0; i < 201; ++i) EXPECT_EQ(font->GetCharWidth('A'), width);  // hits 1 to 201 keep it open
  EXPECT_TRUE(font->IsOutlineOpen());
  EXPECT_EQ(font->GetCharWidth('A'), width);  // the 202nd hit in a row
  EXPECT_FALSE(font->IsOutlineOpen());
  EXPECT_EQ(font->GetCharWidth('A'), width);  // the cache alone still answers
  EXPECT_FALSE(font->IsOutlineOpen());
  font->GetCharWidth('B');
  EXPECT_TRUE(font->IsOutlineOpen());
  EXPECT_EQ(font->HitCounter(), 0u);
}

TEST(CachedFreeTypeFont, FileGoneLaterMakesEveryMissTheDefaultGlyph) {
  TempDir dir;
  const std::string path = dir.Write("face.ttf", ReadWholeFile(kDejaVuSans));
  auto font = Cached(path.c_str(), 16);
  ASSERT_NE(font, nullptr);
  std::remove(path.c_str());
  EXPECT_EQ(font->GetCharWidth('A'), 8u);  // the outline never opened
  EXPECT_EQ(font->GetTextWidth("AB"), 16u);
  EXPECT_TRUE(font->IsMissing('A'));
  EXPECT_EQ(font->GetMetric(0), 0);
}

TEST(CachedFreeTypeFont, DrawsLikeTheOutlineFont) {
  auto font = Cached(kDejaVuSans, 16);
  CFreeTypeFont outline(kDejaVuSans, 16, false);
  const WideChar wide[] = {'K', 0x00E9, 's', 't', 'r', 'e', 'l', '0', '9', 0};
  for (int pass = 0; pass < 2; ++pass) {  // cold, then warm
    CMemoryFrameBuffer cached(120, 30), direct(120, 30);
    EXPECT_TRUE(font->DrawText(cached, wide, 3, 4, 0x07E0));
    EXPECT_TRUE(outline.DrawText(direct, wide, 3, 4, 0x07E0));
    EXPECT_EQ(cached.Bytes(), direct.Bytes());
  }
  EXPECT_EQ(font->GetTextHeight(wide), outline.GetTextHeight(wide));
  EXPECT_EQ(font->GetTextWidth(wide), outline.GetTextWidth(wide));

  // The character crossing the right edge is clipped pixel by pixel.
  CMemoryFrameBuffer narrow(20, 30), wide_fb(120, 30);
  font->DrawText(narrow, "MMMM", 0, 0, 0xFFFF);
  font->DrawText(wide_fb, "MMMM", 0, 0, 0xFFFF);
  for (int32_t x = 0; x < 20; ++x)
    for (int32_t y = 0; y < 30; ++y) EXPECT_EQ(narrow.PixelAt(x, y), wide_fb.PixelAt(x, y));
}

}  // namespace
