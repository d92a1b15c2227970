#pragma once
// CNoxFrameBufferImpl: the kernel framebuffer device, opened, queried and
// mapped shared at construction, unmapped and closed at destruction.

#include <cstddef>
#include <cstdint>

#include "device/frame_buffer.h"

// The landscape geometry of a display that reports xres x yres at the given
// depth: width is the larger side. False (and `out` zeroed) for a display we
// cannot draw into safely: no pixels, a depth that cannot take one 16-bit
// store per pixel, or a size past what byte offsets can address.
struct DisplayGeometry {
  uint32_t width = 0;
  uint32_t height = 0;
  uint32_t bitsPerPixel = 0;
  size_t bytes = 0;
};
bool LandscapeGeometry(uint32_t xres, uint32_t yres, uint32_t bitsPerPixel, DisplayGeometry& out);

class CNoxFrameBufferImpl : public MFrameBuffer {
 public:
  explicit CNoxFrameBufferImpl(const char* path);
  ~CNoxFrameBufferImpl() override;
  CNoxFrameBufferImpl(const CNoxFrameBufferImpl&) = delete;
  CNoxFrameBufferImpl& operator=(const CNoxFrameBufferImpl&) = delete;

  uint8_t* GetBuffer() override { return iBuffer; }
  uint32_t GetWidth() override { return iWidth; }
  uint32_t GetHeight() override { return iHeight; }
  uint32_t GetBitsPerPixel() override { return iBitsPerPixel; }
  int32_t GetPixelOffset(int32_t x, int32_t y) override {
    return ColumnLayoutOffset(x, y, iHeight, iBytesPerPixel);
  }

 private:
  int iFd = -1;
  uint8_t* iBuffer = nullptr;
  uint32_t iWidth = 0;
  uint32_t iHeight = 0;
  uint32_t iBitsPerPixel = 0;
  int32_t iBytesPerPixel = 0;
};
