#pragma once
// The emulated display piece: "/dev/fb" is a plain file of width x height x 2
// bytes that the emulator reads; it is mapped shared like the device's
// memory. The geometry follows from the file's size (see the table in the
// .cpp); a file of any other size, or one that cannot be mapped, leaves zero
// geometry and a null buffer, like a device that cannot be mapped.

#include <cstddef>
#include <cstdint>

#include "device/frame_buffer.h"

class CEmuFrameBuffer : public MFrameBuffer {
 public:
  explicit CEmuFrameBuffer(const char* path);
  ~CEmuFrameBuffer() override;
  CEmuFrameBuffer(const CEmuFrameBuffer&) = delete;
  CEmuFrameBuffer& operator=(const CEmuFrameBuffer&) = delete;

  uint8_t* GetBuffer() override { return iBuffer; }
  uint32_t GetWidth() override { return iWidth; }
  uint32_t GetHeight() override { return iHeight; }
  uint32_t GetBitsPerPixel() override { return iBuffer != nullptr ? 16 : 0; }
  int32_t GetPixelOffset(int32_t x, int32_t y) override { return ColumnLayoutOffset(x, y, iHeight, 2); }

  // The display geometry the emulator uses for a file of `bytes` bytes;
  // false for a size that matches none.
  static bool GeometryForSize(size_t bytes, uint32_t& width, uint32_t& height);

 private:
  int iFd = -1;
  uint8_t* iBuffer = nullptr;
  size_t iBytes = 0;
  uint32_t iWidth = 0;
  uint32_t iHeight = 0;
};
