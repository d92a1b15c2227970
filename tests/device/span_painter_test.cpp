// The span painter against the per-pixel rule it replaces: the same bytes for
// every run, clipped or not, at every depth.
#include "device/span_painter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "device/memory_frame_buffer.h"

namespace {

// The reference: PaintPixel on each pixel, column by column, each top to
// bottom. Pixels far outside the grid are skipped by PaintPixel anyway; the
// loops start and stop a few pixels out so that huge boxes end.
void PerPixelBox(MFrameBuffer& fb, int32_t x, int32_t y, int32_t w, int32_t h, Color c) {
  const int64_t margin = 3;
  const int64_t x0 = std::max<int64_t>(x, -margin), x1 = std::min<int64_t>(int64_t{x} + w, fb.GetWidth() + margin);
  const int64_t y0 = std::max<int64_t>(y, -margin), y1 = std::min<int64_t>(int64_t{y} + h, fb.GetHeight() + margin);
  for (int64_t i = x0; i < x1; ++i)
    for (int64_t j = y0; j < y1; ++j) PaintPixel(fb, static_cast<int32_t>(i), static_cast<int32_t>(j), c);
}

struct Box {
  int32_t x, y, w, h;
};

TEST(SpanPainter, PaintsExactlyThePixelsOfThePerPixelPath) {
  const Box boxes[] = {
      {0, 0, 13, 9},        {2, 3, 4, 5},          {-3, -2, 6, 5},      {10, 6, 10, 10},
      {-5, 4, 40, 1},       {7, -4, 1, 40},        {0, 0, 0, 5},        {0, 0, 5, -1},
      {13, 0, 3, 3},        {0, 9, 3, 3},          {-1, -1, 1, 1},      {INT32_MIN, 2, 5, 3},
      {INT32_MAX - 1, 2, 5, 3}, {3, INT32_MAX, 2, INT32_MAX}, {2, 0, 5, 9}, {1, 1, INT32_MAX, INT32_MAX},
  };
  for (uint32_t bits : {16u, 8u, 24u, 32u, 4u}) {
    for (const Box& b : boxes) {
      CMemoryFrameBuffer expected(13, 9, bits), actual(13, 9, bits);
      expected.Fill(0x1111);  // Fill itself is a span; the reference repaints around it
      PerPixelBox(expected, 0, 0, 13, 9, 0x1111);
      actual.Fill(0x1111);
      PerPixelBox(expected, b.x, b.y, b.w, b.h, 0xA5C3);
      PaintBox(actual, b.x, b.y, b.w, b.h, 0xA5C3);
      EXPECT_EQ(expected.Bytes(), actual.Bytes()) << bits << " bits, box " << b.x << "," << b.y << " " << b.w << "x" << b.h;
    }
  }
}

TEST(SpanPainter, LinesAreOnePixelBoxes) {
  CMemoryFrameBuffer fb(20, 10);
  PaintHSpan(fb, -2, 3, 8, 0xF800);
  PaintVSpan(fb, 9, 5, 100, 0x07E0);
  PaintHSpan(fb, 0, 4, -3, 0xFFFF);
  PaintVSpan(fb, 0, 0, 0, 0xFFFF);
  for (int32_t x = 0; x < 20; ++x)
    for (int32_t y = 0; y < 10; ++y) {
      Color want = (y == 3 && x < 6) ? 0xF800 : (x == 9 && y >= 5) ? 0x07E0 : 0;
      EXPECT_EQ(want, fb.PixelAt(x, y)) << x << "," << y;
    }
}

TEST(SpanPainter, EqualBytesAndUnalignedTargetsAndNoBuffer) {
  // A colour whose two bytes are equal is one memset; an odd buffer address
  // still takes 16-bit stores through memcpy.
  std::vector<uint8_t> storage(2 * 6 * 4 + 1, 0);
  struct COddFrameBuffer : MFrameBuffer {
    uint8_t* base;
    uint8_t* GetBuffer() override { return base; }
    uint32_t GetWidth() override { return 6; }
    uint32_t GetHeight() override { return 4; }
    uint32_t GetBitsPerPixel() override { return 16; }
    int32_t GetPixelOffset(int32_t x, int32_t y) override { return ColumnLayoutOffset(x, y, 4, 2); }
  } odd;
  odd.base = storage.data() + 1;
  PaintBox(odd, 1, 0, 2, 4, 0x1234);
  PaintBox(odd, 4, 1, 2, 2, 0x7777);
  CMemoryFrameBuffer ref(6, 4);
  PerPixelBox(ref, 1, 0, 2, 4, 0x1234);
  PerPixelBox(ref, 4, 1, 2, 2, 0x7777);
  EXPECT_EQ(ref.Bytes(), std::vector<uint8_t>(storage.begin() + 1, storage.end()));
  CMemoryFrameBuffer empty(0, 0);
  PaintBox(empty, 0, 0, 5, 5, 0xFFFF);  // zero geometry: nothing, no null access
}

}  // namespace
