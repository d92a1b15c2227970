#include "gfx/bmp_decompressor.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>

namespace {
uint32_t Le16(const uint8_t* p) { return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8; }
uint32_t Le32(const uint8_t* p) { return Le16(p) | Le16(p + 2) << 16; }

// Reads up to n bytes at the descriptor's position; the count read, or -1.
int64_t ReadFully(int fd, uint8_t* into, size_t n) {
  size_t done = 0;
  while (done < n) {
    const ssize_t got = read(fd, into + done, n - done);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return -1;
    if (got == 0) break;
    done += static_cast<size_t>(got);
  }
  return static_cast<int64_t>(done);
}

// Pixels that `bytes` of one row hold whole at `bpp` bits each, at most `width`.
uint64_t WholePixels(uint64_t bytes, uint32_t bpp, uint32_t width) {
  return bytes * 8 / bpp < width ? bytes * 8 / bpp : width;
}

// Expands a 5-bit channel to 8 bits.
uint8_t Expand5(uint32_t v) { return static_cast<uint8_t>((v << 3) | (v >> 2)); }
}  // namespace

CBMPDecompressor::~CBMPDecompressor() { Reset(); }

void CBMPDecompressor::Reset() {
  delete[] iPalette;
  delete[] iPixels;
  delete[] iRow;
  iPalette = iPixels = iRow = nullptr;
  iPixelBytes = 0;
  iWidth = iHeight = iBitsPerPixel = iStride = 0;
}

bool CBMPDecompressor::LoadFromMemory() { return LoadFromFile(-1); }

bool CBMPDecompressor::LoadFromFile(int fd) {
  Reset();
  if (!Load(fd)) {
    Reset();
    return false;
  }
  close(fd);
  return true;
}

bool CBMPDecompressor::Load(int fd) {
  if (fd < 0) return false;
  const off_t fileSize = lseek(fd, 0, SEEK_END);
  if (fileSize < 0 || lseek(fd, 0, SEEK_SET) != 0) return false;
  uint8_t header[kHeaderSize];
  if (ReadFully(fd, header, sizeof header) != kHeaderSize) return false;
  if (Le16(header) != 0x4D42 || Le32(header + 14) != 40) return false;

  const uint32_t dataOffset = Le32(header + 10);
  const int32_t heightField = static_cast<int32_t>(Le32(header + 22));
  const uint32_t width = Le32(header + 18) & 0xFFFF;
  const uint32_t height = Le32(header + 22) & 0xFFFF;
  const uint32_t bpp = Le16(header + 28);
  const uint32_t compression = Le32(header + 30);
  if (heightField < 0 || compression != 0) return false;
  if (width == 0 || height == 0 || static_cast<uint64_t>(width) * height > kMaxPixels) return false;
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24) return false;
  if (dataOffset < kHeaderSize || dataOffset > static_cast<uint64_t>(fileSize)) return false;

  // 64-bit sizes throughout: size_t is 32 bits on the device.
  const uint64_t stride = (static_cast<uint64_t>(width) * bpp + 31) / 32 * 4;
  const uint64_t available = static_cast<uint64_t>(fileSize) - dataOffset;
  const uint64_t pixelBytes = stride * height < available ? stride * height : available;
  // Whole rows, then the whole pixels of the row the data ends in.
  const uint64_t held = pixelBytes / stride * width + WholePixels(pixelBytes % stride, bpp, width);
  if (static_cast<uint64_t>(width) * height - held > kSlackPixels) return false;

  // Palette: up to 2^bpp entries of blue, green, red, reserved; the rest black.
  iPalette = new (std::nothrow) uint8_t[256 * 3]();
  if (iPalette == nullptr) return false;
  if (bpp <= 8) {
    const uint32_t wanted = 4u << bpp;
    const uint32_t present = dataOffset - kHeaderSize < wanted ? dataOffset - kHeaderSize : wanted;
    uint8_t entries[4 * 256];
    if (ReadFully(fd, entries, present) != static_cast<int64_t>(present)) return false;
    for (uint32_t i = 0; i < present / 4; ++i) {
      iPalette[i * 3] = entries[i * 4 + 2];
      iPalette[i * 3 + 1] = entries[i * 4 + 1];
      iPalette[i * 3 + 2] = entries[i * 4];
    }
  }

  iRow = new (std::nothrow) uint8_t[static_cast<size_t>(width) * 3];
  iPixels = new (std::nothrow) uint8_t[pixelBytes == 0 ? 1 : static_cast<size_t>(pixelBytes)];
  if (iRow == nullptr || iPixels == nullptr) return false;
  if (lseek(fd, dataOffset, SEEK_SET) != static_cast<off_t>(dataOffset)) return false;
  // A short read is accepted: the rows it misses decode as black.
  const int64_t got = ReadFully(fd, iPixels, pixelBytes);
  if (got < 0) return false;
  iPixelBytes = static_cast<size_t>(got);
  iWidth = width;
  iHeight = height;
  iBitsPerPixel = bpp;
  iStride = static_cast<uint32_t>(stride);
  return true;
}

const uint8_t* CBMPDecompressor::GetRow(uint32_t r) {
  if (r >= iHeight || iRow == nullptr) return nullptr;
  const size_t start = static_cast<size_t>(iStride) * (iHeight - r - 1);
  const size_t present = start < iPixelBytes ? (iPixelBytes - start < iStride ? iPixelBytes - start : iStride) : 0;
  // Pixels whose bytes the file holds completely; the others stay black.
  const uint32_t decoded = static_cast<uint32_t>(WholePixels(present, iBitsPerPixel, iWidth));
  const uint8_t* src = iPixels + (present != 0 ? start : 0);
  uint8_t* out = iRow;
  switch (iBitsPerPixel) {
    case 1:
      for (uint32_t x = 0; x < decoded; ++x, out += 3)
        std::memcpy(out, iPalette + ((src[x / 8] >> (7 - x % 8)) & 1) * 3, 3);
      break;
    case 4:
      for (uint32_t x = 0; x < decoded; ++x, out += 3)
        std::memcpy(out, iPalette + ((x % 2 == 0 ? src[x / 2] >> 4 : src[x / 2]) & 0x0F) * 3, 3);
      break;
    case 8:
      for (uint32_t x = 0; x < decoded; ++x, out += 3) std::memcpy(out, iPalette + src[x] * 3, 3);
      break;
    case 16:
      for (uint32_t x = 0; x < decoded; ++x, out += 3) {
        const uint32_t v = Le16(src + x * 2);
        out[0] = Expand5((v >> 10) & 31);
        out[1] = Expand5((v >> 5) & 31);
        out[2] = Expand5(v & 31);
      }
      break;
    case 24:
      for (uint32_t x = 0; x < decoded; ++x, out += 3, src += 3) {
        out[0] = src[2];
        out[1] = src[1];
        out[2] = src[0];
      }
      break;
    default:
      break;
  }
  std::memset(iRow + static_cast<size_t>(decoded) * 3, 0, static_cast<size_t>(iWidth - decoded) * 3);
  return iRow;
}
