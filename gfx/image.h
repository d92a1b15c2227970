#pragma once
// MImage: a picture that draws itself into a frame buffer. CImage holds a BMP
// picture converted once, at load, into RGB565 pixels in the display's column
// layout, so drawing an opaque picture is one memory copy per column.

#include <cstdint>

#include "device/frame_buffer.h"
#include "gfx/bmp_decompressor.h"

class MImage {
 public:
  virtual ~MImage() = default;
  virtual uint32_t GetImageWidth() = 0;
  virtual uint32_t GetImageHeight() = 0;
  // Bits per pixel of the display the picture was made for.
  virtual uint32_t GetDepth() = 0;
  // Draws the whole picture with its top-left corner at (x, y). A picture that
  // does not fit entirely on the target is not drawn at all (false).
  virtual bool DrawImage(MFrameBuffer& target, int32_t x, int32_t y) = 0;
  // Draws the part of the picture placed at (x, y) that falls into the area
  // (ax, ay, aw, ah), widened by one row above and below.
  virtual bool DrawImagePart(MFrameBuffer& target, int32_t x, int32_t y, int32_t ax, int32_t ay, int32_t aw,
                             int32_t ah) = 0;
};

class CImage : public MImage {
 public:
  // Converts the decoder's picture. red below 0 means no transparent colour;
  // otherwise (red, green, blue), each taken in 0-255, is the colour not drawn.
  // depth is the bits per pixel of the display (its frame buffer's
  // GetBitsPerPixel). HasPixels() is false when the pixels could not be made,
  // or when the picture has more than MBitmapDecompressor::kMaxPixels.
  CImage(MBitmapDecompressor& decoder, int32_t red, int32_t green, int32_t blue, uint32_t depth);
  ~CImage() override;
  CImage(const CImage&) = delete;
  CImage& operator=(const CImage&) = delete;

  uint32_t GetImageWidth() override { return iWidth; }
  uint32_t GetImageHeight() override { return iHeight; }
  uint32_t GetDepth() override { return iDepth; }
  bool DrawImage(MFrameBuffer& target, int32_t x, int32_t y) override;
  bool DrawImagePart(MFrameBuffer& target, int32_t x, int32_t y, int32_t ax, int32_t ay, int32_t aw,
                     int32_t ah) override;

  bool HasPixels() const { return iPixels != nullptr; }
  int32_t Transparent() const { return iTransparent; }
  // Pixel (x, y) of the picture; 0 outside it.
  Color PixelAt(uint32_t x, uint32_t y) const;

 private:
  bool Fits(MFrameBuffer& target, int32_t x, int32_t y);
  void CopyColumns(MFrameBuffer& target, uint32_t c0, uint32_t c1, uint32_t r0, uint32_t r1, int32_t x, int32_t y);

  uint32_t iWidth;
  uint32_t iHeight;
  uint32_t iDepth;
  int32_t iTransparent;
  Color* iPixels = nullptr;  // pixel (x, y) at x * height + (height - 1 - y)
};

// Decodes the BMP file behind the descriptor into a picture for a display of
// `depth` bits per pixel, or null when the file yields none. The caller owns
// the result. The descriptor is closed in every case.
MImage* LoadBmpImage(int fd, int32_t red, int32_t green, int32_t blue, uint32_t depth);
// The same for the display: the depth is GetFrameBuffer()'s bits per pixel.
MImage* LoadBmpImage(int fd, int32_t red, int32_t green, int32_t blue);

// RGB565 of 8-bit channels.
inline Color ToColor(uint32_t red, uint32_t green, uint32_t blue) {
  return static_cast<Color>(((red >> 3) << 11) | ((green >> 2) << 5) | (blue >> 3));
}
