#pragma once
// The drawing primitives every widget paints with. Coordinates are
// inclusive; a pixel is painted only where it lies inside the target, so any
// coordinates are safe. Straight runs go through the span painter: one clip
// per run, then plain memory fills.

#include <cstdint>

#include "device/frame_buffer.h"

// (x, y) for x from x1 to x2; nothing when x1 > x2.
void DrawHLine(MFrameBuffer& fb, int32_t x1, int32_t y, int32_t x2, Color color);
// (x, y) for y from y1 to y2; nothing when y1 > y2.
void DrawVLine(MFrameBuffer& fb, int32_t x, int32_t y1, int32_t y2, Color color);
// The straight line from (x1, y1) to (x2, y2), both ends included: along the
// longer axis one pixel per step, the other coordinate rounded to the nearest
// (halves away from the start). Only the steps that can meet the target are
// walked, so a line of any length costs at most one screen side.
void DrawLine(MFrameBuffer& fb, int32_t x1, int32_t y1, int32_t x2, int32_t y2, Color color);
// The outline of the box: top, right, left and bottom edges.
void DrawRect(MFrameBuffer& fb, int32_t x1, int32_t y1, int32_t x2, int32_t y2, Color color);
// The box filled column by column, each column shortened at both ends by
// the inset of its distance d from the nearer side:
//   corner 0: none; 2: 2 1; 3: 3 2 1; 4: 4 2 1 1; any other: 1 (at d = 0).
// Widgets use corner 4 for their rounded boxes. Nothing when x1 > x2.
void FillBox(MFrameBuffer& fb, int32_t x1, int32_t y1, int32_t x2, int32_t y2, Color color, int32_t corner);
// The inset of FillBox for a column at distance d from the nearer side.
int32_t CornerInset(int32_t corner, int64_t d);

// The pixels of one box of a frame buffer as a grid of its own: (0, 0) is the
// box's top-left corner, the same memory, the whole grid's pixel offsets.
// Anything drawn into it stays inside the box, because every painter clips
// at the grid's width and height and places pixels by the grid's offsets.
// The box is cut to the whole grid.
class CBoxOf final : public MFrameBuffer {
 public:
  CBoxOf(MFrameBuffer& whole, int32_t x, int32_t y, int32_t width, int32_t height);
  uint8_t* GetBuffer() override { return iWhole.GetBuffer(); }
  uint32_t GetWidth() override { return iWidth; }
  uint32_t GetHeight() override { return iHeight; }
  uint32_t GetBitsPerPixel() override { return iWhole.GetBitsPerPixel(); }
  int32_t GetPixelOffset(int32_t x, int32_t y) override { return iWhole.GetPixelOffset(x + iX, y + iY); }
  // Where the box's corner lies on the whole grid.
  int32_t OriginX() const { return iX; }
  int32_t OriginY() const { return iY; }

 private:
  MFrameBuffer& iWhole;
  int32_t iX = 0;
  int32_t iY = 0;
  uint32_t iWidth = 0;
  uint32_t iHeight = 0;
};
