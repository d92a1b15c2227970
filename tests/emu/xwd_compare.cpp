// xwd_compare CAPTURE.xwd REFERENCE.png SCALE [DIFF.png]
// Compares a window captured with xwd with a screen shot of the emulator at
// the window's scale: every screen pixel must fill its SCALE x SCALE block
// exactly. Exit status 0 when they match, 1 when they differ (the count on
// stdout, the differing pixels in DIFF.png), 2 for an unreadable input.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "emu/bounded_file.h"
#include "emu/png_image.h"

namespace {

// xwd writes its header as 25 big-endian 32-bit fields, then the window's
// name, then ncolors colour entries of 12 bytes, then the pixel rows.
enum XwdField {
  kHeaderSize = 0, kFileVersion = 1, kPixmapFormat = 2, kWidth = 4, kHeight = 5, kXOffset = 6, kByteOrder = 7,
  kBitsPerPixel = 11, kBytesPerLine = 12, kVisualClass = 13, kRedMask = 14, kGreenMask = 15, kBlueMask = 16,
  kColorCount = 19, kFieldCount = 25
};
constexpr uint32_t kZPixmap = 2, kTrueColor = 4, kDirectColor = 5, kMsbFirst = 1;
constexpr uint32_t kMaxSide = 8192;
constexpr uint32_t kMaxColors = 65536;
constexpr uint64_t kMaxXwdBytes = uint64_t{256} << 20;

uint32_t BigEndian32(const uint8_t* p) {
  return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}

// The channel under `mask` as 8 bits.
uint8_t Channel(uint32_t pixel, uint32_t mask) {
  if (mask == 0) return 0;
  int shift = 0;
  while (((mask >> shift) & 1) == 0) ++shift;
  const uint32_t top = mask >> shift;
  int bits = 0;
  while (bits < 32 && ((top >> bits) & 1) != 0) ++bits;
  const uint32_t v = (pixel & mask) >> shift;
  if (bits >= 8) return static_cast<uint8_t>(v >> (bits - 8));
  return static_cast<uint8_t>((v * 255 + top / 2) / top);
}

bool ReadXwd(const std::string& path, CRgbPicture& picture, std::string& why) {
  std::string bytes;
  if (!ReadBoundedFile(path, kMaxXwdBytes, bytes, why)) return false;
  const uint8_t* b = reinterpret_cast<const uint8_t*>(bytes.data());
  if (bytes.size() < kFieldCount * 4) {
    why = path + ": too short for an XWD header";
    return false;
  }
  uint32_t f[kFieldCount];
  for (int i = 0; i < kFieldCount; ++i) f[i] = BigEndian32(&b[static_cast<size_t>(i) * 4]);
  const uint32_t width = f[kWidth], height = f[kHeight], bpp = f[kBitsPerPixel];
  if (f[kFileVersion] != 7 || f[kPixmapFormat] != kZPixmap || f[kXOffset] != 0 ||
      (f[kVisualClass] != kTrueColor && f[kVisualClass] != kDirectColor) || (bpp != 24 && bpp != 32)) {
    why = path + ": not a true-colour ZPixmap XWD file of 24 or 32 bits a pixel";
    return false;
  }
  if (width == 0 || height == 0 || width > kMaxSide || height > kMaxSide || f[kColorCount] > kMaxColors ||
      f[kHeaderSize] < kFieldCount * 4 || uint64_t{f[kBytesPerLine]} < uint64_t{width} * bpp / 8) {
    why = path + ": a damaged XWD header";
    return false;
  }
  const uint64_t start = uint64_t{f[kHeaderSize]} + uint64_t{f[kColorCount]} * 12;
  if (start + uint64_t{f[kBytesPerLine]} * height > bytes.size()) {
    why = path + ": the pixel rows are cut short";
    return false;
  }
  const uint32_t bytesPerPixel = bpp / 8;
  picture.Resize(width, height);
  for (uint32_t y = 0; y < height; ++y) {
    const uint8_t* row = &b[static_cast<size_t>(start + uint64_t{y} * f[kBytesPerLine])];
    for (uint32_t x = 0; x < width; ++x) {
      const uint8_t* p = row + size_t{x} * bytesPerPixel;
      uint32_t v = 0;
      for (uint32_t k = 0; k < bytesPerPixel; ++k) {
        const uint32_t byte = p[f[kByteOrder] == kMsbFirst ? k : bytesPerPixel - 1 - k];
        v = v << 8 | byte;
      }
      uint8_t* out = picture.At(x, y);
      out[0] = Channel(v, f[kRedMask]);
      out[1] = Channel(v, f[kGreenMask]);
      out[2] = Channel(v, f[kBlueMask]);
    }
  }
  return true;
}

CRgbPicture Scaled(const CRgbPicture& p, uint32_t scale) {
  CRgbPicture s;
  s.Resize(p.width * scale, p.height * scale);
  for (uint32_t y = 0; y < s.height; ++y)
    for (uint32_t x = 0; x < s.width; ++x) {
      const uint8_t* from = p.At(x / scale, y / scale);
      uint8_t* to = s.At(x, y);
      to[0] = from[0];
      to[1] = from[1];
      to[2] = from[2];
    }
  return s;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4 && argc != 5) {
    std::fprintf(stderr, "usage: xwd_compare CAPTURE.xwd REFERENCE.png SCALE [DIFF.png]\n");
    return 2;
  }
  const long scale = std::strtol(argv[3], nullptr, 10);
  if (scale < 1 || scale > 8) {
    std::fprintf(stderr, "xwd_compare: the scale is 1 to 8, not %s\n", argv[3]);
    return 2;
  }
  std::string why;
  CRgbPicture capture, reference;
  if (!ReadXwd(argv[1], capture, why)) {
    std::fprintf(stderr, "xwd_compare: %s\n", why.c_str());
    return 2;
  }
  if (!ReadPng(argv[2], reference)) {
    std::fprintf(stderr, "xwd_compare: %s: not a readable PNG file\n", argv[2]);
    return 2;
  }
  const CRgbPicture expected = Scaled(reference, static_cast<uint32_t>(scale));
  CRgbPicture diff;
  const long differing = ComparePictures(capture, expected, &diff);
  if (differing < 0) {
    std::printf("the capture is %ux%u, %s at scale %ld is %ux%u\n", capture.width, capture.height, argv[2], scale,
                expected.width, expected.height);
    return 1;
  }
  if (differing > 0) {
    std::printf("%ld of %u pixels differ from %s at scale %ld\n", differing, capture.width * capture.height,
                argv[2], scale);
    if (argc == 5 && WritePng(argv[4], diff)) std::printf("the difference: %s\n", argv[4]);
    return 1;
  }
  return 0;
}
