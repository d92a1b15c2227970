#include "device/span_painter.h"

#include <algorithm>
#include <cstring>
#include <cwchar>

namespace {

// The grid as the painter needs it, read once per run. Offsets come from the
// grid's own pixel offsets, so a view into a larger grid (a box of the
// screen) is painted in the larger grid's memory: a column is `column` bytes
// from the next, and a row one pixel below the one above it.
struct Grid {
  uint8_t* buffer;
  int64_t width;
  int64_t height;
  int64_t bytesPerPixel;
  int64_t origin;  // offset of (0, 0)
  int64_t column;  // bytes from (x, y) to (x + 1, y)
};

Grid GridOf(MFrameBuffer& fb) {
  const int64_t origin = fb.GetPixelOffset(0, 0);
  return Grid{fb.GetBuffer(),
              fb.GetWidth(),
              fb.GetHeight(),
              static_cast<int64_t>(fb.GetBitsPerPixel() >> 3),
              origin,
              int64_t{fb.GetPixelOffset(1, 0)} - origin};
}

// The part of [from, from + length) inside [0, limit), in 64 bits so that no
// sum overflows; false when nothing is left.
bool Clip(int64_t& from, int64_t& length, int64_t limit) {
  int64_t end = from + length;
  from = std::max<int64_t>(from, 0);
  end = std::min<int64_t>(end, limit);
  length = end - from;
  return length > 0;
}

inline size_t Offset(const Grid& g, int64_t x, int64_t y) {
  return static_cast<size_t>(g.origin + x * g.column - y * g.bytesPerPixel);
}

// `count` 16-bit pixels from `p` upwards in memory. Long runs go to the C
// library's fills, which use the widest stores the processor has: memset
// when both bytes are equal, else wmemset with two pixels in each 32-bit
// unit (wchar_t is 32 bits on Linux).
void FillRun(uint8_t* p, size_t count, Color color) {
  const uint8_t lo = static_cast<uint8_t>(color), hi = static_cast<uint8_t>(color >> 8);
  if (lo == hi) {
    std::memset(p, lo, 2 * count);
    return;
  }
  static_assert(sizeof(wchar_t) == 4, "two pixels per wide character");
  if ((reinterpret_cast<uintptr_t>(p) & 1) == 0 && count >= 16) {
    if ((reinterpret_cast<uintptr_t>(p) & 2) != 0) {
      std::memcpy(p, &color, 2);
      p += 2;
      --count;
    }
    uint32_t pair = uint32_t{color} | (uint32_t{color} << 16);
    wchar_t unit;
    std::memcpy(&unit, &pair, sizeof unit);
    std::wmemset(reinterpret_cast<wchar_t*>(p), unit, count / 2);
    p += 4 * (count / 2);
    count &= 1;
  }
  for (size_t i = 0; i < count; ++i) std::memcpy(p + 2 * i, &color, 2);
}

// The pixels of columns [x, x + columns) and rows [y, y + rows), already
// clipped, in PaintPixel's results.
void PaintClipped(const Grid& g, int64_t x, int64_t y, int64_t columns, int64_t rows, Color color) {
  if (g.buffer == nullptr) return;
  if (g.bytesPerPixel != 2) {
    // Stores spaced other than 2 bytes apart: one at a time, in the order of
    // the pixels, so that overlapping ones end as PaintPixel leaves them.
    for (int64_t i = 0; i < columns; ++i)
      for (int64_t j = 0; j < rows; ++j) std::memcpy(g.buffer + Offset(g, x + i, y + j), &color, 2);
    return;
  }
  // A column's run starts at its bottom row, the lowest address.
  if (rows == g.height && g.column == 2 * g.height) {
    // Whole columns lie back to back: one run for the box.
    FillRun(g.buffer + Offset(g, x, g.height - 1), static_cast<size_t>(columns * rows), color);
    return;
  }
  if (rows == 1) {
    // A horizontal run: one pixel per column, a column's length apart.
    uint8_t* p = g.buffer + Offset(g, x, y);
    const size_t stride = static_cast<size_t>(g.column);
    for (int64_t i = 0; i < columns; ++i, p += stride) std::memcpy(p, &color, 2);
    return;
  }
  for (int64_t i = 0; i < columns; ++i)
    FillRun(g.buffer + Offset(g, x + i, y + rows - 1), static_cast<size_t>(rows), color);
}

}  // namespace

void PaintBox(MFrameBuffer& fb, int32_t x, int32_t y, int32_t width, int32_t height, Color color) {
  const Grid g = GridOf(fb);
  int64_t x0 = x, columns = width, y0 = y, rows = height;
  if (!Clip(x0, columns, g.width) || !Clip(y0, rows, g.height)) return;
  PaintClipped(g, x0, y0, columns, rows, color);
}

void PaintVSpan(MFrameBuffer& fb, int32_t x, int32_t y, int32_t length, Color color) {
  PaintBox(fb, x, y, 1, length, color);
}

void PaintHSpan(MFrameBuffer& fb, int32_t x, int32_t y, int32_t length, Color color) {
  PaintBox(fb, x, y, length, 1, color);
}
