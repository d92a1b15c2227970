#include "ui/painting.h"

#include <algorithm>

#include "device/span_painter.h"

namespace {

// Cuts the inclusive range [from, to] to [0, limit) in 64 bits, so that no
// coordinate overflows; false when nothing is left.
bool ClipRange(int64_t& from, int64_t& to, int64_t limit) {
  from = std::max<int64_t>(from, 0);
  to = std::min<int64_t>(to, limit - 1);
  return from <= to;
}

// The column x from `top` to `bottom` (inclusive), cut to the target.
void PaintColumn(MFrameBuffer& fb, int64_t x, int64_t top, int64_t bottom, Color color) {
  if (x < 0 || x >= static_cast<int64_t>(fb.GetWidth()) || !ClipRange(top, bottom, fb.GetHeight())) return;
  PaintVSpan(fb, static_cast<int32_t>(x), static_cast<int32_t>(top), static_cast<int32_t>(bottom - top + 1), color);
}

// The row y from `left` to `right` (inclusive), cut to the target.
void PaintRow(MFrameBuffer& fb, int64_t y, int64_t left, int64_t right, Color color) {
  if (y < 0 || y >= static_cast<int64_t>(fb.GetHeight()) || !ClipRange(left, right, fb.GetWidth())) return;
  PaintHSpan(fb, static_cast<int32_t>(left), static_cast<int32_t>(y), static_cast<int32_t>(right - left + 1), color);
}

}  // namespace

void DrawHLine(MFrameBuffer& fb, int32_t x1, int32_t y, int32_t x2, Color color) { PaintRow(fb, y, x1, x2, color); }

void DrawVLine(MFrameBuffer& fb, int32_t x, int32_t y1, int32_t y2, Color color) {
  PaintColumn(fb, x, y1, y2, color);
}

void DrawLine(MFrameBuffer& fb, int32_t x1, int32_t y1, int32_t x2, int32_t y2, Color color) {
  if (y1 == y2) {
    PaintRow(fb, y1, std::min(x1, x2), std::max(x1, x2), color);
    return;
  }
  if (x1 == x2) {
    PaintColumn(fb, x1, std::min(y1, y2), std::max(y1, y2), color);
    return;
  }
  const int64_t dx = int64_t{x2} - x1, dy = int64_t{y2} - y1;
  const bool xMajor = (dx < 0 ? -dx : dx) >= (dy < 0 ? -dy : dy);
  // Walk the major axis: step k goes from the start towards the end; the
  // minor offset is k * minor / major rounded to the nearest.
  const int64_t major = xMajor ? dx : dy, minor = xMajor ? dy : dx;
  const int64_t majorStart = xMajor ? x1 : y1, minorStart = xMajor ? y1 : x1;
  const int64_t steps = major < 0 ? -major : major;
  const int64_t majorDir = major < 0 ? -1 : 1;
  const uint64_t minorLength = static_cast<uint64_t>(minor < 0 ? -minor : minor);
  const int64_t minorDir = minor < 0 ? -1 : 1;
  // Steps whose major coordinate lies inside the target.
  const int64_t limit = xMajor ? fb.GetWidth() : fb.GetHeight();
  int64_t kFrom = majorDir > 0 ? -majorStart : majorStart - (limit - 1);
  int64_t kTo = majorDir > 0 ? limit - 1 - majorStart : majorStart;
  kFrom = std::max<int64_t>(kFrom, 0);
  kTo = std::min<int64_t>(kTo, steps);
  for (int64_t k = kFrom; k <= kTo; ++k) {
    // k and minorLength are below 2^32, so the product fits 64 bits; the
    // remainder decides the rounding without a wider sum.
    const uint64_t product = static_cast<uint64_t>(k) * minorLength;
    const uint64_t q = product / static_cast<uint64_t>(steps), r = product % static_cast<uint64_t>(steps);
    const int64_t offset = static_cast<int64_t>(q + (2 * r >= static_cast<uint64_t>(steps) ? 1 : 0));
    const int64_t a = majorStart + majorDir * k, b = minorStart + minorDir * offset;
    const int64_t px = xMajor ? a : b, py = xMajor ? b : a;
    if (py < 0 || px < 0 || py > INT32_MAX || px > INT32_MAX) continue;
    PaintPixel(fb, static_cast<int32_t>(px), static_cast<int32_t>(py), color);
  }
}

void DrawRect(MFrameBuffer& fb, int32_t x1, int32_t y1, int32_t x2, int32_t y2, Color color) {
  DrawHLine(fb, x1, y1, x2, color);
  DrawVLine(fb, x2, y1, y2, color);
  DrawVLine(fb, x1, y1, y2, color);
  DrawHLine(fb, x1, y2, x2, color);
}

int32_t CornerInset(int32_t corner, int64_t d) {
  static constexpr int32_t kInsets[5][4] = {{0, 0, 0, 0}, {1, 0, 0, 0}, {2, 1, 0, 0}, {3, 2, 1, 0}, {4, 2, 1, 1}};
  if (d < 0 || d >= 4) return 0;
  const int32_t row = (corner >= 0 && corner <= 4) ? corner : 1;
  return kInsets[row][d];
}

void FillBox(MFrameBuffer& fb, int32_t x1, int32_t y1, int32_t x2, int32_t y2, Color color, int32_t corner) {
  if (x1 > x2) return;
  // Only the columns inside the target are visited.
  const int64_t from = std::max<int64_t>(x1, 0);
  const int64_t to = std::min<int64_t>(x2, static_cast<int64_t>(fb.GetWidth()) - 1);
  for (int64_t x = from; x <= to; ++x) {
    const int32_t inset = CornerInset(corner, std::min<int64_t>(x - x1, int64_t{x2} - x));
    PaintColumn(fb, x, int64_t{y1} + inset, int64_t{y2} - inset, color);
  }
}

CBoxOf::CBoxOf(MFrameBuffer& whole, int32_t x, int32_t y, int32_t width, int32_t height) : iWhole(whole) {
  const int64_t left = std::max<int64_t>(x, 0), top = std::max<int64_t>(y, 0);
  const int64_t right = std::min<int64_t>(int64_t{x} + std::max(width, 0), whole.GetWidth());
  const int64_t bottom = std::min<int64_t>(int64_t{y} + std::max(height, 0), whole.GetHeight());
  if (right <= left || bottom <= top) return;
  iX = static_cast<int32_t>(left);
  iY = static_cast<int32_t>(top);
  iWidth = static_cast<uint32_t>(right - left);
  iHeight = static_cast<uint32_t>(bottom - top);
}
