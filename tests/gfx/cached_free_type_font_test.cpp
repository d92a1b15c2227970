#include "gfx/cached_free_type_font.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include <unistd.h>

#include "device/memory_frame_buffer.h"
#include "gfx/courier_font.h"
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
  EXPECT_FALSE(font->IsOutlineOpen());  // the byte codes were rendered, the file closed

  ReferenceFace ref(kDejaVuSans, 16);
  const uint32_t advance = static_cast<uint32_t>(ref.Advance('A'));
  FT_GlyphSlot g = ref.Render('A');
  const Glyph& glyph = font->FindGlyph('A');
  EXPECT_FALSE(font->IsOutlineOpen());
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

TEST(CachedFreeTypeFont, WideCodesShareSlotsAndNeverEvictByteCodes) {
  auto font = Cached(kDejaVuSans, 16);
  const uint32_t shared = 0x100 + CBitmappedFont::kWideSlots;  // the slot of 0x100
  EXPECT_EQ(font->Slot(65).code, 65u);
  EXPECT_EQ(font->FindGlyph(0x100).code, 0x100u);
  EXPECT_EQ(font->FindGlyph(shared).code, shared);
  EXPECT_EQ(font->Slot(font->GetSlotIndex(0x100)).code, shared);
  EXPECT_EQ(font->FindGlyph(0x100).code, 0x100u);
  EXPECT_FALSE(font->IsMissing(0x100));
  EXPECT_FALSE(font->IsMissing(shared));
  for (uint32_t code = 32; code <= 255; ++code)
    if (!font->IsMissing(code)) {
      EXPECT_EQ(font->Slot(code).code, code);
    }
}

TEST(CachedFreeTypeFont, OutlineOpensForAWideCodeAndClosesAfterTheRunOfHits) {
  auto font = Cached(kDejaVuSans, 16);
  const uint32_t width = font->GetCharWidth(0x100);  // a load: the outline opens
  EXPECT_TRUE(font->IsOutlineOpen());
  for (int i = 0; i < 201; ++i) EXPECT_EQ(font->GetCharWidth(0x100), width);  // hits 1 to 201 keep it open
  EXPECT_TRUE(font->IsOutlineOpen());
  EXPECT_EQ(font->GetCharWidth(0x100), width);  // the 202nd hit in a row
  EXPECT_FALSE(font->IsOutlineOpen());
  EXPECT_EQ(font->GetCharWidth(0x100), width);  // the cache alone still answers
  EXPECT_FALSE(font->IsOutlineOpen());
  font->GetCharWidth(0x101);
  EXPECT_TRUE(font->IsOutlineOpen());
  EXPECT_EQ(font->HitCounter(), 0u);
}

int CountPainted(CMemoryFrameBuffer& fb) {
  int n = 0;
  for (int32_t x = 0; x < static_cast<int32_t>(fb.GetWidth()); ++x)
    for (int32_t y = 0; y < static_cast<int32_t>(fb.GetHeight()); ++y) n += fb.PixelAt(x, y) != 0;
  return n;
}

// The card pulled with the skin on it, or the skin's file spoilt: the font
// draws every byte code exactly as a font whose file is still there, and a
// glyph it never had through the fixed font.
TEST(CachedFreeTypeFont, OutlivesItsFile) {
  const std::string whole = ReadWholeFile(kDejaVuSans);
  const struct {
    const char* what;
    void (*damage)(const std::string& path, const std::string& bytes);
  } cases[] = {
      {"deleted", [](const std::string& path, const std::string&) { std::remove(path.c_str()); }},
      {"truncated",
       [](const std::string& path, const std::string& bytes) { ASSERT_EQ(0, truncate(path.c_str(), bytes.size() / 3)); }},
      {"overwritten with garbage",
       [](const std::string& path, const std::string& bytes) {
         FILE* f = std::fopen(path.c_str(), "r+b");
         ASSERT_NE(f, nullptr);
         const std::string garbage(bytes.size(), '\x5A');
         std::fwrite(garbage.data(), 1, garbage.size(), f);
         std::fclose(f);
       }},
  };
  auto reference = Cached(kDejaVuSans, 16);
  ASSERT_NE(reference, nullptr);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    const std::string path = dir.Write("face.ttf", whole);
    auto font = Cached(path.c_str(), 16);
    ASSERT_NE(font, nullptr);
    c.damage(path, whole);
    for (uint32_t code = 32; code <= 255; ++code) {
      SCOPED_TRACE(code);
      ASSERT_EQ(font->GetCharWidth(code), reference->GetCharWidth(code));
      ASSERT_EQ(font->GetCharHeight(code), reference->GetCharHeight(code));
      CMemoryFrameBuffer drawn(40, 40), expected(40, 40);
      EXPECT_TRUE(font->DrawChar(drawn, code, 10, 30, 0xFFFF));
      EXPECT_TRUE(reference->DrawChar(expected, code, 10, 30, 0xFFFF));
      ASSERT_EQ(drawn.Bytes(), expected.Bytes());
    }
    EXPECT_EQ(font->GetTextWidth("Edit Delete"), reference->GetTextWidth("Edit Delete"));
    for (int32_t kind = MFont::kLineHeight; kind <= MFont::kDescender; ++kind)
      EXPECT_EQ(font->GetMetric(kind), reference->GetMetric(kind));

    // Cyrillic Zhe was never drawn: the fixed font stands in, a '?' cell.
    const uint32_t zhe = 0x416, scale = font->FixedScale();
    EXPECT_EQ(scale, 2u);
    EXPECT_EQ(font->GetCharWidth(zhe), (CCourierFont::kCellWidth + 1) * scale);
    CMemoryFrameBuffer fallback(40, 40);
    EXPECT_TRUE(font->DrawChar(fallback, zhe, 10, 30, 0xFFFF));
    EXPECT_GT(CountPainted(fallback), 0);
    EXPECT_FALSE(font->IsMissing(zhe));
  }
}

TEST(CachedFreeTypeFont, DrawsLikeTheOutlineFont) {
  auto font = Cached(kDejaVuSans, 16);
  CFreeTypeFont outline(kDejaVuSans, 16, false);
  const WideChar wide[] = {'K', 0x00E9, 's', 't', 'r', 'e', 'l', '0', '9', 0x416, 0};
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
