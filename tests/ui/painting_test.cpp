#include "ui/painting.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>

#include "device/memory_frame_buffer.h"

namespace {

constexpr Color kInk = 0xF81F;

// The painted pixels of a small grid as rows of '#' and '.'.
std::string Picture(CMemoryFrameBuffer& fb) {
  std::string s;
  for (int32_t y = 0; y < static_cast<int32_t>(fb.GetHeight()); ++y) {
    for (int32_t x = 0; x < static_cast<int32_t>(fb.GetWidth()); ++x) s += fb.PixelAt(x, y) == kInk ? '#' : '.';
    s += '\n';
  }
  return s;
}

TEST(Painting, FillBoxCornerFourInsetsTheOuterFourColumns) {
  CMemoryFrameBuffer fb(22, 12);
  FillBox(fb, 0, 0, 20, 10, kInk, 4);
  const int32_t insets[21] = {4, 2, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 2, 4};
  for (int32_t x = 0; x < 22; ++x)
    for (int32_t y = 0; y < 12; ++y) {
      const bool inside = x <= 20 && y >= insets[x % 21] && y <= 10 - insets[x % 21];
      ASSERT_EQ(inside ? kInk : 0, fb.PixelAt(x, y)) << x << "," << y;
    }
}

TEST(Painting, CornerInsetsByCorner) {
  struct Case {
    int32_t corner;
    int32_t insets[5];
  };
  const Case cases[] = {{0, {0, 0, 0, 0, 0}}, {1, {1, 0, 0, 0, 0}}, {2, {2, 1, 0, 0, 0}}, {3, {3, 2, 1, 0, 0}},
                        {4, {4, 2, 1, 1, 0}}, {7, {1, 0, 0, 0, 0}}, {-3, {1, 0, 0, 0, 0}}};
  for (const Case& c : cases)
    for (int d = 0; d < 5; ++d) EXPECT_EQ(c.insets[d], CornerInset(c.corner, d)) << c.corner << " d " << d;
}

TEST(Painting, SmallAndReversedBoxes) {
  CMemoryFrameBuffer fb(6, 6);
  FillBox(fb, 4, 0, 3, 5, kInk, 0);  // x1 > x2
  FillBox(fb, 1, 0, 1, 5, kInk, 4);  // one column at d = 0, inset 4 from both ends: nothing
  FillBox(fb, 2, 5, 3, 0, kInk, 0);  // y1 > y2: empty columns
  EXPECT_EQ(std::string::npos, Picture(fb).find('#'));
  FillBox(fb, 2, 0, 3, 5, kInk, 2);  // two columns, both at d = 0: inset 2 leaves rows 2-3
  DrawRect(fb, 0, 0, 5, 5, kInk);
  EXPECT_EQ("######\n#....#\n#.##.#\n#.##.#\n#....#\n######\n", Picture(fb));
}

// Every line drawn with DrawLine: one pixel per step of the longer axis,
// both ends painted, the other coordinate within half a pixel of the ideal
// line, nothing else painted.
TEST(Painting, LinesFollowTheIdealLineInEveryOctant) {
  for (int32_t x1 = 0; x1 < 7; ++x1)
    for (int32_t y1 = 0; y1 < 7; ++y1)
      for (int32_t x2 = 0; x2 < 7; ++x2)
        for (int32_t y2 = 0; y2 < 7; ++y2) {
          CMemoryFrameBuffer fb(7, 7);
          DrawLine(fb, x1, y1, x2, y2, kInk);
          const int32_t dx = x2 - x1, dy = y2 - y1;
          const bool xMajor = std::abs(dx) >= std::abs(dy);
          const int32_t steps = std::max(std::abs(dx), std::abs(dy));
          int painted = 0;
          for (int32_t x = 0; x < 7; ++x)
            for (int32_t y = 0; y < 7; ++y) {
              if (fb.PixelAt(x, y) != kInk) continue;
              ++painted;
              // Position along the major axis and the ideal minor coordinate, doubled.
              const int32_t k = xMajor ? (x - x1) * (dx < 0 ? -1 : 1) : (y - y1) * (dy < 0 ? -1 : 1);
              ASSERT_GE(k, 0);
              ASSERT_LE(k, steps);
              if (steps == 0) continue;
              const int32_t minor = xMajor ? y - y1 : x - x1, slope = xMajor ? dy : dx;
              ASSERT_LE(std::abs(2 * minor * steps - 2 * k * slope), steps)
                  << x1 << "," << y1 << " to " << x2 << "," << y2 << " pixel " << x << "," << y;
            }
          ASSERT_EQ(steps + 1, painted) << x1 << "," << y1 << " to " << x2 << "," << y2;
          ASSERT_EQ(kInk, fb.PixelAt(x1, y1));
          ASSERT_EQ(kInk, fb.PixelAt(x2, y2));
        }
}

TEST(Painting, ShallowLinePicture) {
  CMemoryFrameBuffer fb(6, 3);
  DrawLine(fb, 0, 0, 5, 2, kInk);
  EXPECT_EQ("##....\n..##..\n....##\n", Picture(fb));
}

// A shape drawn across the edges of a small grid paints exactly the part
// that the same shape paints inside a grid large enough to hold it whole.
TEST(Painting, ClippedAtEveryEdge) {
  using Draw = std::function<void(MFrameBuffer&, int32_t dx, int32_t dy)>;
  const Draw shapes[] = {
      [](MFrameBuffer& fb, int32_t dx, int32_t dy) { FillBox(fb, dx - 5, dy - 4, dx + 14, dy + 12, kInk, 4); },
      [](MFrameBuffer& fb, int32_t dx, int32_t dy) { DrawRect(fb, dx - 3, dy - 2, dx + 12, dy + 11, kInk); },
      [](MFrameBuffer& fb, int32_t dx, int32_t dy) { DrawLine(fb, dx - 6, dy + 3, dx + 15, dy + 7, kInk); },
      [](MFrameBuffer& fb, int32_t dx, int32_t dy) { DrawLine(fb, dx + 4, dy - 7, dx + 6, dy + 16, kInk); },
      [](MFrameBuffer& fb, int32_t dx, int32_t dy) { DrawHLine(fb, dx - 9, dy + 5, dx + 30, kInk); },
      [](MFrameBuffer& fb, int32_t dx, int32_t dy) { DrawVLine(fb, dx + 9, dy - 9, dy + 30, kInk); },
  };
  constexpr int32_t kMargin = 20;
  for (size_t i = 0; i < std::size(shapes); ++i) {
    CMemoryFrameBuffer small(10, 9), large(10 + 2 * kMargin, 9 + 2 * kMargin);
    shapes[i](small, 0, 0);
    shapes[i](large, kMargin, kMargin);
    for (int32_t x = 0; x < 10; ++x)
      for (int32_t y = 0; y < 9; ++y)
        ASSERT_EQ(large.PixelAt(x + kMargin, y + kMargin), small.PixelAt(x, y)) << "shape " << i << " " << x << "," << y;
  }
}

// Coordinates at the ends of the integer range paint the right pixels and
// walk only the steps that can meet the grid.
TEST(Painting, ExtremeCoordinates) {
  // The lines each on a grid of their own, before any box covers them.
  CMemoryFrameBuffer lines(4, 4);
  DrawLine(lines, INT32_MIN, 1, INT32_MAX, 1, kInk);
  DrawVLine(lines, 3, INT32_MIN, INT32_MAX, kInk);
  DrawHLine(lines, INT32_MIN, 3, INT32_MAX, kInk);
  EXPECT_EQ("...#\n####\n...#\n####\n", Picture(lines));
  CMemoryFrameBuffer whole(4, 4);
  FillBox(whole, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, kInk, 0);
  EXPECT_EQ("####\n####\n####\n####\n", Picture(whole));
  // Rows 1 and 2 only, over the whole integer width, rounded corners far off the grid.
  CMemoryFrameBuffer band(4, 4);
  FillBox(band, INT32_MIN, 1, INT32_MAX, 2, kInk, 4);
  EXPECT_EQ("....\n####\n####\n....\n", Picture(band));
  CMemoryFrameBuffer diagonal(4, 4);
  DrawLine(diagonal, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, kInk);  // through (0,0) .. (3,3)
  EXPECT_EQ("#...\n.#..\n..#.\n...#\n", Picture(diagonal));
}

}  // namespace
