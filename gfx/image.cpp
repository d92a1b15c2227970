#include "gfx/image.h"

#include <unistd.h>

#include <cstring>
#include <new>

namespace {
uint32_t Channel(int32_t v) { return v < 0 ? 0u : v > 255 ? 255u : static_cast<uint32_t>(v); }
}  // namespace

CImage::CImage(MBitmapDecompressor& decoder, int32_t red, int32_t green, int32_t blue, uint32_t depth)
    : iWidth(decoder.GetImageWidth()), iHeight(decoder.GetImageHeight()), iDepth(depth),
      iTransparent(red < 0 ? -1 : ToColor(Channel(red), Channel(green), Channel(blue))) {
  // The product in 64 bits: on the device a made-up size would wrap size_t.
  if (iWidth == 0 || iHeight == 0 || static_cast<uint64_t>(iWidth) * iHeight > MBitmapDecompressor::kMaxPixels)
    return;
  iPixels = new (std::nothrow) Color[static_cast<size_t>(iWidth) * iHeight];
  if (iPixels == nullptr) return;
  for (uint32_t r = 0; r < iHeight; ++r) {
    const uint8_t* row = decoder.GetRow(r);
    Color* out = iPixels + (iHeight - 1 - r);
    for (uint32_t x = 0; x < iWidth; ++x, out += iHeight)
      *out = row != nullptr ? ToColor(row[x * 3], row[x * 3 + 1], row[x * 3 + 2]) : 0;
  }
}

CImage::~CImage() { delete[] iPixels; }

Color CImage::PixelAt(uint32_t x, uint32_t y) const {
  if (iPixels == nullptr || x >= iWidth || y >= iHeight) return 0;
  return iPixels[static_cast<size_t>(x) * iHeight + (iHeight - 1 - y)];
}

bool CImage::Fits(MFrameBuffer& target, int32_t x, int32_t y) {
  if (iPixels == nullptr || iWidth == 0 || iHeight == 0 || x < 0 || y < 0) return false;
  return static_cast<uint64_t>(x) + iWidth <= target.GetWidth() &&
         static_cast<uint64_t>(y) + iHeight <= target.GetHeight() && target.GetBuffer() != nullptr;
}

// Copies image columns c0 to c1, rows r0 to r1, to the target with the
// image's top-left corner at (x, y). Screen rows grow towards lower addresses,
// so each column's run starts at row r1 in both the target and the image.
void CImage::CopyColumns(MFrameBuffer& target, uint32_t c0, uint32_t c1, uint32_t r0, uint32_t r1, int32_t x,
                         int32_t y) {
  const uint32_t count = r1 - r0 + 1;
  const int32_t runY = y + static_cast<int32_t>(r1);
  const Color* column = iPixels + static_cast<size_t>(c0) * iHeight + (iHeight - 1 - r1);
  if (target.GetBitsPerPixel() != 16) {
    // Other depths keep the display's own pixel spacing: paint one by one.
    for (uint32_t c = c0; c <= c1; ++c, column += iHeight)
      for (uint32_t i = 0; i < count; ++i) {
        if (iTransparent >= 0 && column[i] == static_cast<Color>(iTransparent)) continue;
        PaintPixel(target, x + static_cast<int32_t>(c), runY - static_cast<int32_t>(i), column[i]);
      }
    return;
  }
  uint8_t* const base = target.GetBuffer();
  const size_t runBytes = static_cast<size_t>(count) * sizeof(Color);
  if (iTransparent < 0 && count == iHeight && c1 > c0) {
    // Whole columns that lie back to back in the target too: one copy.
    const int64_t first = target.GetPixelOffset(x + static_cast<int32_t>(c0), runY);
    const int64_t last = target.GetPixelOffset(x + static_cast<int32_t>(c1), runY);
    if (last - first == static_cast<int64_t>(c1 - c0) * static_cast<int64_t>(runBytes)) {
      std::memcpy(base + first, column, runBytes * (c1 - c0 + 1));
      return;
    }
  }
  const Color key = static_cast<Color>(iTransparent);
  for (uint32_t c = c0; c <= c1; ++c, column += iHeight) {
    uint8_t* dst = base + target.GetPixelOffset(x + static_cast<int32_t>(c), runY);
    if (iTransparent < 0) {
      std::memcpy(dst, column, runBytes);
      continue;
    }
    for (uint32_t i = 0; i < count; ++i)
      if (column[i] != key) std::memcpy(dst + i * sizeof(Color), &column[i], sizeof(Color));
  }
}

bool CImage::DrawImage(MFrameBuffer& target, int32_t x, int32_t y) {
  if (!Fits(target, x, y)) return false;
  CopyColumns(target, 0, iWidth - 1, 0, iHeight - 1, x, y);
  return true;
}

bool CImage::DrawImagePart(MFrameBuffer& target, int32_t x, int32_t y, int32_t ax, int32_t ay, int32_t aw,
                           int32_t ah) {
  if (!Fits(target, x, y)) return false;
  const int64_t w = iWidth;
  const int64_t h = iHeight;
  const int64_t firstColumn = ax >= x ? static_cast<int64_t>(ax) - x : 0;
  const int64_t lastColumn = static_cast<int64_t>(ax) - x + aw < w ? static_cast<int64_t>(ax) - x + aw : w - 1;
  // The area is widened by one row above and one below.
  const int64_t firstRow = ay > y ? static_cast<int64_t>(ay) - y - 1 : 0;
  const int64_t lastRow = firstRow + ah + 1 < h ? firstRow + ah + 1 : h - 1;
  if (firstColumn > lastColumn || firstColumn >= w || lastColumn < 0) return true;
  if (firstRow > lastRow || firstRow >= h || lastRow < 0) return true;
  CopyColumns(target, static_cast<uint32_t>(firstColumn), static_cast<uint32_t>(lastColumn),
              static_cast<uint32_t>(firstRow), static_cast<uint32_t>(lastRow), x, y);
  return true;
}

MImage* LoadBmpImage(int fd, int32_t red, int32_t green, int32_t blue, uint32_t depth) {
  CBMPDecompressor decoder;
  // The decoder closes the descriptor only when it succeeds; the picture
  // always takes it, so that no failure leaks it and no caller closes it twice.
  if (!decoder.LoadFromFile(fd)) {
    if (fd >= 0) close(fd);
    return nullptr;
  }
  CImage* image = new (std::nothrow) CImage(decoder, red, green, blue, depth);
  if (image != nullptr && !image->HasPixels()) {
    delete image;
    image = nullptr;
  }
  return image;
}

MImage* LoadBmpImage(int fd, int32_t red, int32_t green, int32_t blue) {
  return LoadBmpImage(fd, red, green, blue, GetFrameBuffer()->GetBitsPerPixel());
}
