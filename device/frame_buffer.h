#pragma once
// MFrameBuffer: a landscape grid of 16-bit RGB565 pixels in the device's
// column layout. Logical pixel (x, y) lies at byte offset
//   bytesPerPixel * (x * height + (height - 1 - y)),
// one contiguous run per column, bottom row first. There are no drawing
// operations: drawing code writes straight into GetBuffer().

#include <cstddef>
#include <cstdint>
#include <cstring>

using Color = uint16_t;

class MFrameBuffer {
 public:
  virtual uint8_t* GetBuffer() = 0;
  virtual uint32_t GetWidth() = 0;
  virtual uint32_t GetHeight() = 0;
  virtual uint32_t GetBitsPerPixel() = 0;
  virtual int32_t GetPixelOffset(int32_t x, int32_t y) = 0;
  virtual ~MFrameBuffer() = default;
};

// The one pixel painting rule of every drawing routine: (x, y) must be inside
// the grid compared as unsigned numbers (so negative coordinates fail too, and
// a frame buffer with zero geometry accepts nothing); the colour is one 16-bit
// store at the pixel's offset.
inline void PaintPixel(MFrameBuffer& fb, int32_t x, int32_t y, Color color) {
  if (static_cast<uint32_t>(x) >= fb.GetWidth() || static_cast<uint32_t>(y) >= fb.GetHeight()) return;
  // memcpy: a 24-bit device spaces pixels 3 bytes apart, so stores may be unaligned.
  std::memcpy(fb.GetBuffer() + fb.GetPixelOffset(x, y), &color, sizeof color);
}

// Bytes that hold a grid's pixels. Pixels are always stored as 16 bits, so
// below 16 bits per pixel the last pixel's store reaches past
// width x height x depth / 8: the extra byte makes room for it. Computed in
// 64 bits (the bit count can pass 2^32 on a 32-bit device); 0 when the grid
// would not fit the address space.
inline size_t FrameBufferStorageBytes(uint32_t width, uint32_t height, uint32_t bitsPerPixel) {
  uint64_t bytes = uint64_t{width} * height * bitsPerPixel / 8;
  if (bytes != 0 && bitsPerPixel < 16) ++bytes;
  return bytes > SIZE_MAX / 2 ? 0 : static_cast<size_t>(bytes);
}

// Byte offset of (x, y) for a grid of the given height and bytes per pixel.
inline int32_t ColumnLayoutOffset(int32_t x, int32_t y, uint32_t height, int32_t bytesPerPixel) {
  return bytesPerPixel * (x * static_cast<int32_t>(height) + (static_cast<int32_t>(height) - 1 - y));
}

// The display, created on first use on "/dev/fb" and destroyed at process
// exit. Never null; a display that could not be mapped has zero geometry and
// a null buffer, so every clip test fails.
MFrameBuffer* GetFrameBuffer();

// Makes the concrete display object over `path`. Defined once per program by
// the display piece it links: device_fb (the kernel framebuffer, the default)
// or emu_fb (a plain file, the emulated build). See device/CMakeLists.txt.
MFrameBuffer* CreateDisplayFrameBuffer(const char* path);
