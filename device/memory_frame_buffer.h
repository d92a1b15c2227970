#pragma once
// A frame buffer in ordinary memory, of any geometry: the target of tests and
// of off-screen drawing.

#include <cstring>
#include <vector>

#include "device/frame_buffer.h"
#include "device/span_painter.h"

class CMemoryFrameBuffer : public MFrameBuffer {
 public:
  CMemoryFrameBuffer(uint32_t width, uint32_t height, uint32_t bitsPerPixel = 16)
      : iWidth(width), iHeight(height), iBitsPerPixel(bitsPerPixel),
        iPixels(FrameBufferStorageBytes(width, height, bitsPerPixel), 0) {}

  uint8_t* GetBuffer() override { return iPixels.empty() ? nullptr : iPixels.data(); }
  uint32_t GetWidth() override { return iWidth; }
  uint32_t GetHeight() override { return iHeight; }
  uint32_t GetBitsPerPixel() override { return iBitsPerPixel; }
  int32_t GetPixelOffset(int32_t x, int32_t y) override {
    return ColumnLayoutOffset(x, y, iHeight, static_cast<int32_t>(iBitsPerPixel >> 3));
  }

  // Reads the pixel at (x, y); 0 outside the grid.
  Color PixelAt(int32_t x, int32_t y) {
    if (static_cast<uint32_t>(x) >= iWidth || static_cast<uint32_t>(y) >= iHeight) return 0;
    Color c;
    std::memcpy(&c, iPixels.data() + GetPixelOffset(x, y), sizeof c);
    return c;
  }
  void Fill(Color c) { PaintBox(*this, 0, 0, static_cast<int32_t>(iWidth), static_cast<int32_t>(iHeight), c); }
  std::vector<uint8_t>& Bytes() { return iPixels; }

 private:
  uint32_t iWidth;
  uint32_t iHeight;
  uint32_t iBitsPerPixel;
  std::vector<uint8_t> iPixels;
};
