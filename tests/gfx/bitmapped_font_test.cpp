#include "gfx/bitmapped_font.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "device/memory_frame_buffer.h"

namespace {

// A font whose glyphs are made up in the test: every code gets a solid
// `size` x `size` block with advance size + 1 and the given bearings, except
// the codes listed as failing.
class FakeFont : public CBitmappedFont {
 public:
  explicit FakeFont(uint32_t size = 4, int32_t left = 0, int32_t top = 4)
      : CBitmappedFont(8), iSize(size), iLeft(left), iTop(top) {}
  bool LoadGlyph(uint32_t code, uint32_t index) override {
    ++loads;
    FreeSlot(index);
    if (failing.count(code) != 0) return false;
    const uint32_t pitch = (iSize + 7) / 8;
    std::vector<uint8_t> bits(static_cast<size_t>(pitch) * iSize, 0);
    for (uint32_t i = 0; i < iSize; ++i)
      for (uint32_t j = 0; j < iSize; ++j) bits[i * pitch + j / 8] |= static_cast<uint8_t>(0x80u >> (j % 8));
    return AddGlyph(code, iSize, iSize, pitch, iSize + 1, static_cast<int32_t>(iSize), iLeft, iTop, bits.data());
  }
  bool DrawChar(MFrameBuffer& target, uint32_t code, uint32_t x, uint32_t y, Color color) override {
    drawn.push_back(code);
    return CBitmappedFont::DrawChar(target, code, x, y, color);
  }
  int32_t GetMetric(int32_t) override { return 0; }

  std::set<uint32_t> failing;
  int loads = 0;
  std::vector<uint32_t> drawn;

 private:
  uint32_t iSize;
  int32_t iLeft;
  int32_t iTop;
};

int CountPainted(CMemoryFrameBuffer& fb) {
  int n = 0;
  for (uint32_t x = 0; x < fb.GetWidth(); ++x)
    for (uint32_t y = 0; y < fb.GetHeight(); ++y) n += fb.PixelAt(static_cast<int32_t>(x), static_cast<int32_t>(y)) != 0;
  return n;
}

TEST(BitmappedFont, HitsMissesAndMissingCodes) {
  FakeFont font;
  font.failing = {7};
  EXPECT_EQ(font.GetCharWidth(65), 5u);
  EXPECT_EQ(font.GetCharWidth(65), 5u);
  EXPECT_EQ(font.loads, 1);  // the second was a hit

  // A failing code answers the default glyph and is never tried again.
  EXPECT_EQ(font.GetCharWidth(7), 8u);
  EXPECT_EQ(font.GetCharHeight(7), 0u);
  EXPECT_EQ(font.GetCharWidth(7), 8u);
  EXPECT_EQ(font.loads, 2);
  EXPECT_TRUE(font.IsMissing(7));

  // Byte codes keep slots of their own; larger codes share the direct-mapped
  // rest (300 and 364 evict each other) and never evict a byte code.
  font.GetCharWidth(300);
  font.GetCharWidth(364);
  EXPECT_EQ(font.Slot(font.GetSlotIndex(300)).code, 364u);
  EXPECT_EQ(font.Slot(65).code, 65u);
  font.GetCharWidth(300);
  font.GetCharWidth(65);
  font.GetCharWidth(232);
  font.GetCharWidth(32);
  font.GetCharWidth(232);
  EXPECT_EQ(font.loads, 7);  // 300, 364, 300 again, 232 and 32 once each
}

TEST(BitmappedFont, CodeZeroIsTheEmptySlot) {
  FakeFont font;
  font.failing = {364};
  EXPECT_EQ(font.GetCharWidth(0), 0u);  // a hit on the empty slot, nothing loaded
  EXPECT_EQ(font.loads, 0);
  EXPECT_EQ(font.GetCharWidth(300), 5u);
  EXPECT_EQ(font.GetCharWidth(364), 8u);  // evicts 300 and fails: the slot is empty again
  EXPECT_EQ(font.Slot(font.GetSlotIndex(300)).code, 0u);
  EXPECT_EQ(font.Slot(font.GetSlotIndex(300)).advance, 0u) << "not the advance the slot once held";
  EXPECT_EQ(font.GetCharWidth(0), 0u);
  EXPECT_EQ(font.GetCharHeight(0), 0u);
  EXPECT_EQ(font.loads, 2);
}

TEST(BitmappedFont, TextMeasuresReadBytesUnsigned) {
  FakeFont font;
  font.failing = {0xE9};
  EXPECT_EQ(font.GetTextWidth("AB"), 10u);
  EXPECT_EQ(font.GetTextWidth("A\xE9"), 5u + 8u);  // 0xE9 is code 233, not a negative one
  EXPECT_TRUE(font.IsMissing(0xE9));
  const WideChar wide[] = {65, 0x10000, 0};
  EXPECT_EQ(font.GetTextWidth(wide), 10u);
  EXPECT_EQ(font.GetTextHeight(wide), 4u);
  const WideChar empty[] = {0};
  EXPECT_EQ(font.GetTextWidth(""), 0u);
  EXPECT_EQ(font.GetTextHeight(""), 0u);
  EXPECT_EQ(font.GetTextWidth(empty), 0u);
  EXPECT_EQ(font.GetTextWidth(static_cast<const char*>(nullptr)), 0u);
}

TEST(BitmappedFont, MissingCodesStayBounded) {
  FakeFont font;
  std::vector<WideChar> text;
  for (WideChar c = 1000; c < 4000; ++c) {
    font.failing.insert(c);
    text.push_back(c);
  }
  text.push_back(0);
  EXPECT_EQ(font.GetTextWidth(text.data()), 3000u * 8u);
  EXPECT_EQ(font.MissingCount(), CBitmappedFont::kMaxMissingCodes);
  EXPECT_EQ(font.GetTextWidth(text.data()), 3000u * 8u);  // beyond the list: tried again, same answer
}

TEST(BitmappedFont, AddedGlyphIsMeasuredAndPaintedFromItsOwnCopy) {
  FakeFont font;
  uint8_t bits[2] = {0xF0, 0x0F};  // 8 x 2: XXXX.... / ....XXXX
  EXPECT_TRUE(font.AddGlyph(70, 8, 2, 1, 9, -3, 1, 2, bits));
  bits[0] = bits[1] = 0xFF;  // the caller's buffer is not the glyph's
  // A hit on the added glyph: nothing is loaded.
  EXPECT_EQ(font.GetCharWidth(70), 9u);
  EXPECT_EQ(font.GetCharHeight(70), 1u);  // a negative height counts as 1
  EXPECT_EQ(font.loads, 0);
  CMemoryFrameBuffer fb(16, 8);
  EXPECT_TRUE(font.DrawChar(fb, 70, 2, 4, 0xFFFF));
  for (int32_t x = 0; x < 16; ++x)
    for (int32_t y = 0; y < 8; ++y) {
      // Left 1, top 2: the rows land on y 2 and 3 from x 3.
      const bool set = (y == 2 && x >= 3 && x < 7) || (y == 3 && x >= 7 && x < 11);
      EXPECT_EQ(fb.PixelAt(x, y), set ? 0xFFFF : 0) << x << "," << y;
    }

  // Rows too short for their width would be read past: refused, and the slot
  // is left empty, so the next use loads the code.
  EXPECT_FALSE(font.AddGlyph(70, 9, 2, 1, 9, 2, 0, 0, bits));
  EXPECT_EQ(font.GetCharWidth(70), 5u);
  EXPECT_EQ(font.loads, 1);

  // No bits: measured, and drawing paints nothing.
  EXPECT_TRUE(font.AddGlyph(71, 0, 0, 0, 3, 0, 0, 0, nullptr));
  EXPECT_EQ(font.GetCharWidth(71), 3u);
  CMemoryFrameBuffer blank(16, 8);
  EXPECT_TRUE(font.DrawChar(blank, 71, 2, 4, 0xFFFF));
  EXPECT_EQ(CountPainted(blank), 0);
  EXPECT_EQ(font.loads, 1);
}

TEST(BitmappedFont, DrawCharPlacesBitsByBearings) {
  FakeFont font(0);
  const uint8_t bits[4] = {0xA0, 0x00, 0x40, 0x00};  // 3 x 2: X.X / .X.
  font.AddGlyph(66, 3, 2, 2, 4, 5, 1, 5, bits);
  CMemoryFrameBuffer fb(16, 16);
  EXPECT_TRUE(font.DrawChar(fb, 66, 4, 10, 0x1234));
  // Pixel (x + j + left, y + i - top).
  EXPECT_EQ(fb.PixelAt(5, 5), 0x1234);
  EXPECT_EQ(fb.PixelAt(7, 5), 0x1234);
  EXPECT_EQ(fb.PixelAt(6, 6), 0x1234);
  EXPECT_EQ(CountPainted(fb), 3);

  // Pixels left of and above the target are skipped, not wrapped.
  CMemoryFrameBuffer edge(16, 16);
  EXPECT_TRUE(font.DrawChar(edge, 66, 0, 2, 0xFFFF));
  EXPECT_EQ(CountPainted(edge), 0);
  font.AddGlyph(67, 3, 2, 2, 4, 5, -2, 5, bits);  // reaches two columns left of the pen
  EXPECT_TRUE(font.DrawChar(edge, 67, 0, 5, 0xFFFF));
  EXPECT_EQ(edge.PixelAt(0, 0), 0xFFFF);
  EXPECT_EQ(CountPainted(edge), 1);
}

TEST(BitmappedFont, DrawTextTopAlignsClipsAndStopsAtTheWidth) {
  FakeFont font;  // 4 x 4 blocks, advance 5, top 4
  CMemoryFrameBuffer fb(12, 10);
  font.drawn.clear();
  EXPECT_TRUE(font.DrawText(fb, "ABCD", 0, 2, 0xFFFF));
  // Pens 0, 5, 10 are on the target; the fourth character starts at 15.
  EXPECT_EQ(font.drawn, (std::vector<uint32_t>{'A', 'B', 'C'}));
  EXPECT_EQ(fb.PixelAt(0, 2), 0xFFFF);  // top of the text at y
  EXPECT_EQ(fb.PixelAt(0, 1), 0);
  EXPECT_EQ(fb.PixelAt(11, 5), 0xFFFF);  // 'C' clipped pixel by pixel
  EXPECT_EQ(CountPainted(fb), 16 + 16 + 8);

  CMemoryFrameBuffer clean(12, 10);
  font.drawn.clear();
  EXPECT_TRUE(font.DrawText(clean, "AB", static_cast<uint32_t>(-3), 2, 0xFFFF));
  EXPECT_TRUE(font.drawn.empty());  // a negative x is a pen beyond the width
  EXPECT_TRUE(font.DrawText(clean, "", 0, 0, 0xFFFF));
  const WideChar wide[] = {'A', 0};
  EXPECT_TRUE(font.DrawText(clean, wide, 1, 1, 0x0F0F));
  EXPECT_EQ(clean.PixelAt(1, 1), 0x0F0F);
  EXPECT_EQ(CountPainted(clean), 16);
}

}  // namespace

namespace {

// The glyph blitter paints what PaintPixel paints for each set bit, at every
// place a glyph can meet the target's edges, at every depth.
TEST(BitmappedFont, MonoBitmapPaintsLikePaintPixelAtEveryEdge) {
  // A 10 x 3 pattern, two bytes a row, with bits in both bytes.
  const uint8_t bits[] = {0xA5, 0xC0, 0x3C, 0x40, 0xFF, 0x80};
  for (uint32_t depth : {16u, 24u, 8u}) {
    for (int64_t x = -11; x <= 8; ++x) {
      for (int64_t y = -4; y <= 6; ++y) {
        CMemoryFrameBuffer fast(7, 5, depth), slow(7, 5, depth);
        PaintMonoBitmap(fast, bits, 10, 3, 2, x, y, 0xBEEF);
        for (uint32_t i = 0; i < 3; ++i)
          for (uint32_t j = 0; j < 10; ++j)
            if (bits[i * 2 + j / 8] & (0x80u >> (j % 8))) PaintGlyphPixel(slow, x + j, y + i, 0xBEEF);
        ASSERT_EQ(slow.Bytes(), fast.Bytes()) << "depth " << depth << " at " << x << "," << y;
      }
    }
  }
}

}  // namespace
