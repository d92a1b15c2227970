#pragma once
// A frame buffer in ordinary memory, of any geometry: the target of tests and
// of off-screen drawing.

#include <cstring>
#include <vector>

#include "device/frame_buffer.h"

class CMemoryFrameBuffer : public MFrameBuffer {
 public:
  CMemoryFrameBuffer(uint32_t width, uint32_t height, uint32_t bitsPerPixel = 16)
      : iWidth(width), iHeight(height), iBitsPerPixel(bitsPerPixel),
        iPixels(StorageBytes(width, height, bitsPerPixel), 0) {}

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
  void Fill(Color c) {
    for (uint32_t x = 0; x < iWidth; ++x)
      for (uint32_t y = 0; y < iHeight; ++y) PaintPixel(*this, static_cast<int32_t>(x), static_cast<int32_t>(y), c);
  }
  std::vector<uint8_t>& Bytes() { return iPixels; }

 private:
  // Pixels are always stored as 16 bits; below 16 bits per pixel the last
  // pixel's store reaches one byte past width x height x depth / 8.
  static size_t StorageBytes(uint32_t width, uint32_t height, uint32_t bitsPerPixel) {
    size_t bytes = static_cast<size_t>(width) * height * bitsPerPixel / 8;
    return bytes != 0 && bitsPerPixel < 16 ? bytes + 1 : bytes;
  }

  uint32_t iWidth;
  uint32_t iHeight;
  uint32_t iBitsPerPixel;
  std::vector<uint8_t> iPixels;
};
