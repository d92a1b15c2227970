#pragma once
// Runs of pixels painted with one colour, for every fill and straight line.
// Each run is clipped once against the grid and then written straight into
// the column layout: a vertical run is contiguous memory, a horizontal run a
// fixed stride of one column. The result is exactly that of PaintPixel on
// each pixel of the run in order (the test proves it, clipping included),
// also for depths other than 16 bits, where the per-pixel stores overlap or
// are spaced apart.

#include <cstdint>

#include "device/frame_buffer.h"

// (x, y), (x, y + 1), ..., (x, y + length - 1); nothing when length <= 0.
void PaintVSpan(MFrameBuffer& fb, int32_t x, int32_t y, int32_t length, Color color);
// (x, y), (x + 1, y), ..., (x + length - 1, y); nothing when length <= 0.
void PaintHSpan(MFrameBuffer& fb, int32_t x, int32_t y, int32_t length, Color color);
// The width x height pixels from (x, y), column by column (each column top
// to bottom); nothing when either side is <= 0.
void PaintBox(MFrameBuffer& fb, int32_t x, int32_t y, int32_t width, int32_t height, Color color);
